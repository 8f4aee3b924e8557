#!/usr/bin/env python3
"""Checks that the shared libraries export exactly the declared C API.

The public headers are run through the C preprocessor (so that the build's
full/reduced configuration applies); every name declared with the export
attribute must be a dynamic symbol of libquorm or libcorvex, and libquorm must
export nothing else.  libcorvex may also export the C++ error classes.
"""
import argparse
import re
import subprocess
import sys

EXPORT = r'__attribute__\(\(visibility\("default"\)\)\)'


def declared_names(cc, flags):
    src = '#include <quorm/quorm.h>\n'
    text = subprocess.run([cc, '-std=c99', '-E', '-P', '-x', 'c', '-'] + flags, input=src,
                          capture_output=True, text=True, check=True).stdout
    text = re.sub(r'\s+', ' ', text)
    names = set()
    for decl in re.findall(EXPORT + r'([^;{]*);', text):
        decl = re.sub(r'__attribute__\(\(.*?\)\)\)?', ' ', decl)
        m = re.search(r'(\w+)\s*\(', decl)
        if m:
            names.add(m.group(1))
        else:
            m = re.search(r'(\w+)\s*(\[[^\]]*\])?\s*$', decl.strip())
            if m:
                names.add(m.group(1))
    return names


def exported(lib):
    out = subprocess.run(['nm', '-D', '--defined-only', lib], capture_output=True, text=True, check=True).stdout
    syms = set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) < 3 or not parts[1].isupper():
            continue
        name = parts[2].split('@')[0]
        # Weak instantiations of standard-library templates are not API.
        if parts[1] in 'VW' and re.match(r'_Z(NS|NKS|St|N9__gnu_cxx)', name):
            continue
        syms.add(name)
    return syms


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--cc', required=True)
    ap.add_argument('--quorm', required=True)
    ap.add_argument('--corvex', required=True)
    ap.add_argument('--source')
    ap.add_argument('flags', nargs='*')
    a = ap.parse_args()
    declared = declared_names(a.cc, a.flags)
    quorm = exported(a.quorm)
    corvex = exported(a.corvex)
    ok = True
    missing = sorted(n for n in declared if n not in quorm and n not in corvex)
    if missing:
        ok = False
        print('declared but not exported:', ' '.join(missing))
    # Sanitizer and coverage runtimes may add their own hooks.
    ignore = re.compile(r'^(mangle_path$|__gcov_|__odr_asan|__asan|__ubsan|__lsan|__sanitizer|__gcov|_init$|_fini$|_edata$|_end$|__bss_start$)')
    extra = sorted(s for s in quorm if s not in declared and not ignore.match(s))
    if extra:
        ok = False
        print('exported by libquorm but not declared:', ' '.join(extra))
    extra_c = sorted(s for s in corvex
                     if s not in declared and '6Kaltor5Error' not in s and not ignore.match(s))
    if extra_c:
        ok = False
        print('exported by libcorvex but not declared:', ' '.join(extra_c))
    print('%d declared names, %d exported by libquorm' % (len(declared), len(quorm)))
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
