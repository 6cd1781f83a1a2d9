#pragma once
// Installs, for its lifetime, a global C++ locale whose decimal separator is a
// comma (no system locale needs to be installed for that).

#include <locale>

class TCommaLocale {
public:
    TCommaLocale() : FOld(std::locale::global(std::locale(std::locale::classic(), new Punct))) {}
    ~TCommaLocale() { std::locale::global(FOld); }
    TCommaLocale(const TCommaLocale&) = delete;
    TCommaLocale& operator=(const TCommaLocale&) = delete;

private:
    struct Punct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
    };
    std::locale FOld;
};
