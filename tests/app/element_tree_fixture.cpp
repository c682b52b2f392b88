#include "element_tree_fixture.h"

#include <gtest/gtest.h>

#include "database/engine/sql_helpers.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "test_env.h"

namespace apptest {

TreeApp::TreeApp() {
  struct Element {
    int eid, type;
    const wchar_t* name;
    int parent;
  };
  const Element elements[] = {{kBeta, 0, L"beta", 0},   {kAlpha, 0, L"Alpha", 0}, {kZeta, 2, L"zeta", kAlpha},
                              {kDeep, 0, L"deep", kAlpha}, {kApple, 2, L"Apple", kDeep}, {kEmpty, 0, L"empty", kBeta},
                              {kOld, 1, L"old", kBeta}};
  for (const Element& e : elements) {
    run(platform::format(L"INSERT INTO element_info VALUES(%d,%d,'%ls','著者','入力者','',0,1704067200,'','')", e.eid,
                         e.type, e.name));
    run(platform::format(L"INSERT INTO folder VALUES(%d,%d)", e.eid, e.parent));
  }
  run(L"INSERT INTO question VALUES (30, 'q30', 'a30', '', '', '', '', 0, 0, 0, '', '', '', '', '')");
  run(L"INSERT INTO question VALUES (31, 'q31', '', '', '', '', '', 0, 0, 0, '', '', '', '', '')");
  run(L"INSERT INTO section VALUES (12, 1), (12, 30), (14, 1), (14, 2), (14, 31)");
  app.notePagePath = QString::fromStdString(testenv::processDir() + "/runtime/___note.html").toStdWString();
}

void TreeApp::run(const std::wstring& sql) { ASSERT_TRUE(pdb3::execSql(accessor(), sql.c_str())) << platform::toUtf8(sql); }

std::wstring TreeApp::takeBoxes() {
  std::wstring all;
  for (const std::wstring& box : notifier.boxes) all += box + L"\n";
  notifier.boxes.clear();
  return all;
}

}  // namespace apptest
