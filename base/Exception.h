#pragma once
// The exception classes of the runtime library. Every exception this system raises carries
// a readable Message; the media components do not throw across threads or C callbacks.
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string msg) : Message(std::move(msg)) {}
  const char* what() const noexcept override { return Message.c_str(); }
  std::string Message;
};

#define OMBREL_EXCEPTION(Name, Base)                      \
  class Name : public Base {                              \
  public:                                                 \
    explicit Name(std::string msg) : Base(std::move(msg)) {} \
  };

OMBREL_EXCEPTION(EConvertError, Exception)
OMBREL_EXCEPTION(EListError, Exception)
OMBREL_EXCEPTION(EStreamError, Exception)
OMBREL_EXCEPTION(EReadError, EStreamError)
OMBREL_EXCEPTION(EWriteError, EStreamError)
OMBREL_EXCEPTION(EFOpenError, EStreamError)
OMBREL_EXCEPTION(EFCreateError, EStreamError)
OMBREL_EXCEPTION(EInOutError, Exception)
OMBREL_EXCEPTION(EThread, Exception)
OMBREL_EXCEPTION(EIniFileException, Exception)
OMBREL_EXCEPTION(EComponentError, Exception)
// A cast to a class the object is not of ("Invalid class typecast").
OMBREL_EXCEPTION(EInvalidCast, Exception)
// A named resource that does not exist.
OMBREL_EXCEPTION(EResNotFound, Exception)
