// Strings, the exception family and the small pure rules the rest of the
// layer shares.
#pragma once

#include <exception>
#include <string>

namespace vcl {

// Texts are 8-bit strings. A line break inside a displayed text is one
// line feed.
using String = std::string;

// The root of the layer's exceptions: a message for the error report.
class Exception : public std::exception {
public:
    explicit Exception(String message);
    const String &Message() const noexcept { return message_; }
    const char *what() const noexcept override { return message_.c_str(); }

private:
    String message_;
};

// The silent exception: it unwinds like any other, and the error report
// shows nothing for it.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// A resource the program carries (a form description) is not there.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// A form description that cannot be read: bad syntax, or a name that the
// form class does not know. Line and column are 1-based; 0 when unknown.
class EReadError : public Exception {
public:
    EReadError(String message, int line = 0, int column = 0);
    int Line() const noexcept { return line_; }
    int Column() const noexcept { return column_; }

private:
    int line_;
    int column_;
};

// The toolkit or the system refused something the layer needed.
class EOSError : public Exception {
public:
    using Exception::Exception;
};

// The message the error report shows: a full stop is appended when the
// message is not empty and its last character sorts after '.' (so a message
// ending in a letter or a digit gets one, one ending in ')' or '.' does not).
String ErrorReportText(const String &message);

// number * numerator / denominator, rounded half away from zero, without
// intermediate overflow; -1 when denominator is 0.
int MulDiv(int number, int numerator, int denominator);

} // namespace vcl
