#pragma once

// Tests that write or read under a chosen locale leave the next test the default
// locale they found.

#include <gtest/gtest.h>
#include <QLocale>
#include <QString>

namespace snapwire::testing {

// Puts back, when it goes, the default locale there was when it was made.
class ScopedDefaultLocale {
  public:
    ScopedDefaultLocale() = default;
    ScopedDefaultLocale(const ScopedDefaultLocale&) = delete;
    ScopedDefaultLocale& operator=(const ScopedDefaultLocale&) = delete;
    ~ScopedDefaultLocale() { QLocale::setDefault(saved_); }

    // Makes the named locale ("de_DE") the default.
    static void Use(const char* name) { QLocale::setDefault(QLocale(QString::fromLatin1(name))); }

  private:
    QLocale saved_;
};

// Fixture for tests that need no program folder: each test states its locale with
// UseLocale, and the one before is put back after it.
class LocaleTest : public ::testing::Test {
  protected:
    static void UseLocale(const char* name) { ScopedDefaultLocale::Use(name); }

  private:
    ScopedDefaultLocale savedLocale_;
};

}  // namespace snapwire::testing
