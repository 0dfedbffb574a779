#pragma once

#include <gtest/gtest.h>
#include <QString>
#include <QTemporaryDir>

namespace snapwire::testing {

// Base fixture: each test gets a fresh program folder ($SNAPWIRE_HOME) with its own
// settings hive, closed again after the test.
class ProgramFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QString home() const { return dir_.path(); }
    QString homeFile(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

  private:
    QTemporaryDir dir_;
};

}  // namespace snapwire::testing
