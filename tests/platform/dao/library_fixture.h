// Test helpers for library databases: a temporary folder with a fresh library file, and the
// capture of DAO exceptions thrown by pointer.
#pragma once
#include <afxdao.h>
#include <contura/dao/error_report.h>
#include <contura/dao/library_file.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A temporary folder holding a new, empty section library "lib.mdb"; removed afterwards.
// What the DAO classes say about failures is kept in said_ (code page 936 lines).
class LibraryTest : public ::testing::Test {
protected:
  void SetUp() override {
    contura::dao::setErrorReporter([this](std::string_view line) { said_.emplace_back(line); });
    std::string tmpl = (fs::temp_directory_path() / "contura-dao-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    file_ = dir_ / "lib.mdb";
    std::string error;
    ASSERT_TRUE(contura::dao::createLibraryFile(file_, error)) << error;
  }
  void TearDown() override {
    contura::dao::setErrorReporter(nullptr);
    contura::dao::setBusyTimeoutMs(10000);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  CString path() const { return CString(file_.c_str()); }

  fs::path dir_;
  fs::path file_;
  std::vector<std::string> said_;
};

struct DaoError {
  long code = 0;  // Jet number; 0 when nothing was thrown
  std::string description;
  int afxError = NO_AFX_DAO_ERROR;
};

// Runs `f`, returning the CDaoException it throws (freed here), or code 0.
template <typename F>
DaoError daoError(F f) {
  try {
    f();
  } catch (CDaoException* e) {
    DaoError d{e->m_pErrorInfo->m_lErrorCode, e->m_pErrorInfo->m_strDescription.str(), e->m_nAfxDaoError};
    EXPECT_EQ(e->m_scode, MAKE_DAO_SCODE(d.code));
    e->Delete();
    return d;
  }
  return {};
}

// Number of rows in SectionInfo.
inline long countRows(CDaoDatabase& db) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenSnapshot, "select count(*) as n from SectionInfo");
  return rs.GetFieldValue("n").lVal;
}
