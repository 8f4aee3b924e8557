// Private helpers of the point lists and the defining-data record (not
// installed).
#ifndef QUORM_BCDF_PNTLST_INTERNAL_H
#define QUORM_BCDF_PNTLST_INTERNAL_H

#include <corvex/exception.hpp>

#include <exception>

namespace quorm {

// Runs body(); if it fails, adds this place to the error, runs cleanup()
// (which frees what body had built so far) and passes the error on.  Any
// standard exception leaves as a Kaltor::Error::Exception.
template <typename Body, typename Cleanup>
void run_or_clean_up(const char *file, int line, Body body, Cleanup cleanup) {
    try {
        body();
    } catch (Kaltor::Error::Exception &err) {
        err.addPlace(file, line, 0);
        cleanup();
        throw;
    } catch (const std::exception &other) {
        Kaltor::Error::Exception err = Kaltor::Error::Exception::Convert(other);
        err.addPlace(file, line, 0);
        cleanup();
        err.reThrow();
    }
}

} // namespace quorm

#endif
