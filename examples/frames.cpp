// The library from C++: errors arrive as exceptions, notes and log lines can
// be captured, and the checking level decides whether arguments are checked.
#include <corvex/capture.hpp>
#include <corvex/exception.hpp>
#include <quorm/quorm.h>

#include <cstdio>

int main() {
    acom.model_scale = 1.0;
    sys21();

    double value = 1.0, out = 0.0;
    int bad_index = 12;
    MACH__checking_level = 1;
    try {
        sys22(&value, &bad_index, &out);
    } catch (const Kaltor::Error::Exception &e) {
        std::printf("caught error %d: %s\n", e.code(), e.what());
    }

    // Unchecked: the call neither throws nor reads outside the table.
    MACH__checking_level = 0;
    sys22(&value, &bad_index, &out);
    std::printf("unchecked result          %g\n", out);
    MACH__checking_level = 1;

    Kaltor::Corvex::MessageCapture capture;
    ERROR_lprintf("a diagnostic line for the host's log\n");
    std::printf("captured log text         %s", capture.log_text().c_str());
    return 0;
}
