// The error classes thrown by libcorvex (C++ only).
//
// Exception carries the code, the source name and line where it was raised
// and the formatted message, plus the places it has passed through on its way
// out (addPlace).  Severe marks errors the caller cannot recover from.
//
// A routine that owns temporary arrays adds its place and frees them on the
// way out:
//
//   catch (Kaltor::Error::Exception &err) {      // keeps its dynamic type
//       err.addPlace(__FILE__, __LINE__, 0);
//       ... free the temporary arrays ...
//       throw;
//   } catch (const std::exception &other) {       // anything else becomes an Exception
//       Kaltor::Error::Exception err = Kaltor::Error::Exception::Convert(other);
//       err.addPlace(__FILE__, __LINE__, 0);
//       ... free the temporary arrays ...
//       err.reThrow();
//   }
#ifndef CORVEX_EXCEPTION_HPP
#define CORVEX_EXCEPTION_HPP

#include <corvex/corvex.h>

#include <exception>
#include <string>
#include <vector>

namespace Kaltor {
namespace Error {

class CORVEX_API Exception : public std::exception {
  public:
    struct Place {
        std::string file;
        int line;
        int flags;
    };

    Exception();
    Exception(int code, const char *file, int line, std::string message);
    Exception(const Exception &) = default;
    Exception &operator=(const Exception &) = default;
    virtual ~Exception() noexcept;

    int code() const noexcept { return code_; }
    const std::string &file() const noexcept { return file_; }
    int line() const noexcept { return line_; }
    const std::string &message() const noexcept { return message_; }
    const std::vector<Place> &places() const noexcept { return places_; }
    virtual bool isSevere() const noexcept { return false; }
    const char *what() const noexcept override;

    // Records a place the exception passed through while it was handled.
    void addPlace(const char *file, int line, int flags);

    // Throws a copy of this object with its dynamic type.
    [[noreturn]] virtual void reThrow() const;

    // An Exception describing any standard exception (a copy when it already
    // is one; std::bad_alloc gets CORVEX_CODE_NO_MEMORY).
    static Exception Convert(const std::exception &e);

  private:
    int code_;
    std::string file_;
    int line_;
    std::string message_;
    std::vector<Place> places_;
};

class CORVEX_API Severe : public Exception {
  public:
    Severe();
    Severe(int code, const char *file, int line, std::string message);
    explicit Severe(const Exception &e);
    ~Severe() noexcept override;
    bool isSevere() const noexcept override { return true; }
    [[noreturn]] void reThrow() const override;
};

} // namespace Error
} // namespace Kaltor

#endif
