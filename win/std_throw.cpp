// std_throw.cpp: the standard library's own throw helpers (std::__throw_length_error and its
// kind, which the containers and strings call on a misuse or an impossible size), linked
// straight into the programs ahead of libstdc++. libstdc++'s versions build std::logic_error
// and its kin, whose texts are copy-on-write strings: one call to them brings the whole of
// that second string class, its exception tables and std::random_device into the program
// (55 KB of the 32-bit setup program and of the uninstaller alike). These throw an exception
// with the same text instead; nothing in the program catches the std::logic_error family by
// its type (a handler's edge catches std::exception and shows what()). Out of memory stays
// std::bad_alloc, which is caught by type.
#include <bits/functexcept.h>

#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* text) noexcept { Append(text); }
    LibraryError(const char* format, va_list args) noexcept;
    const char* what() const noexcept override { return text_; }

private:
    void Append(const char* s) noexcept {
        while (*s && size_ + 1 < sizeof text_) text_[size_++] = *s++;
        text_[size_] = '\0';
    }
    char text_[160] = {};
    size_t size_ = 0;
};

// The directives the library's messages use: %s, %zu and %%.
LibraryError::LibraryError(const char* format, va_list args) noexcept {
    char piece[2] = {};
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            Append(va_arg(args, const char*));
            ++p;
        } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
            char digits[24];
            char* d = digits + sizeof digits;
            *--d = '\0';
            size_t value = va_arg(args, size_t);
            do {
                *--d = static_cast<char>('0' + value % 10);
                value /= 10;
            } while (value != 0);
            Append(d);
            p += 2;
        } else {
            if (p[0] == '%' && p[1] == '%') ++p;
            piece[0] = *p;
            Append(piece);
        }
    }
}

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* text) { throw LibraryError(text); }
void __throw_domain_error(const char* text) { throw LibraryError(text); }
void __throw_invalid_argument(const char* text) { throw LibraryError(text); }
void __throw_length_error(const char* text) { throw LibraryError(text); }
void __throw_out_of_range(const char* text) { throw LibraryError(text); }
void __throw_runtime_error(const char* text) { throw LibraryError(text); }
void __throw_range_error(const char* text) { throw LibraryError(text); }
void __throw_overflow_error(const char* text) { throw LibraryError(text); }
void __throw_underflow_error(const char* text) { throw LibraryError(text); }

void __throw_out_of_range_fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    LibraryError error(format, args);
    va_end(args);
    throw error;
}

}  // namespace std
