// Private helpers of the least-squares fits (not installed): temporary
// blocks that are freed on every way out, and the guard that the fits run
// their numerical work in.
//
//   quorm::lsfit::Temporaries temps;
//   double **m = temps.matrix(3, 3);
//   quorm::lsfit::guarded(__FILE__, __LINE__, temps, [&] {
//       ... numerical work ...
//   });
//
// A standard exception escaping from the work is thrown on as a
// Kaltor::Error::Severe (Convert of the caught object) carrying the guard's
// place; an exception of the system-services library keeps its type and gets
// the place added.  Either way the temporaries are freed first.  The reduced
// build converts nothing: it frees the temporaries and throws on whatever
// came.
#ifndef QUORM_LSFIT_INTERNAL_H
#define QUORM_LSFIT_INTERNAL_H

#include "foundation/quorm_internal.h"

#include <corvex/exception.hpp>

#include <cstddef>
#include <exception>

namespace quorm {
namespace lsfit {

// Blocks from SM_alloc (and matrices from NR_2d_matrix_allo) owned by one
// routine.  release() frees them all; the destructor does the same for
// whatever is still held.
class Temporaries {
  public:
    Temporaries() = default;
    ~Temporaries() { release(); }
    Temporaries(const Temporaries &) = delete;
    Temporaries &operator=(const Temporaries &) = delete;

    // count elements of T, uninitialised.
    template <class T> T *alloc(size_t count) {
        T *p = static_cast<T *>(SM_alloc(sizeof(T) * (count > 0 ? count : 1)));
        hold(p);
        return p;
    }

    // A rows x columns row-pointer matrix over new data.
    double **matrix(int rows, int columns) {
        double *data = alloc<double>(static_cast<size_t>(rows > 0 ? rows : 0) * (columns > 0 ? columns : 0));
        double **m = NR_2d_matrix_allo(rows, columns, &data);
        hold(m);
        return m;
    }

    void release() {
        for (int i = count_ - 1; i >= 0; --i)
            if (blocks_[i]) SM_free(blocks_[i]);
        count_ = 0;
    }

  private:
    static constexpr int kCapacity = 16;
    // A routine holding more blocks than this is a programming error.
    void hold(void *p) {
        if (count_ == kCapacity) {
            SM_free(p);
            ERROR_raise(__FILE__, __LINE__, CORVEX_CODE_INTERNAL, "Too many temporary blocks in one fit.");
        }
        blocks_[count_++] = p;
    }
    void *blocks_[kCapacity];
    int count_ = 0;
};

// Runs work(); see the top of this file for what happens when it throws.
template <class Work> void guarded(const char *file, int line, Temporaries &temps, Work &&work) {
    try {
        work();
    }
#if QUORM_FULL_BUILD
    catch (Kaltor::Error::Exception &err) {
        err.addPlace(file, line, 0);
        temps.release();
        throw;
    } catch (const std::exception &other) {
        Kaltor::Error::Severe severe(Kaltor::Error::Exception::Convert(other));
        severe.addPlace(file, line, 0);
        temps.release();
        severe.reThrow();
    }
#endif
    catch (...) {
        temps.release();
        throw;
    }
#if !QUORM_FULL_BUILD
    (void)file;
    (void)line;
#endif
}

} // namespace lsfit
} // namespace quorm

#endif
