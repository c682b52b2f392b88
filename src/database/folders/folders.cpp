#include "database/folders/folders.h"

#include <algorithm>
#include <boost/format.hpp>
#include <vector>

#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/clock.h"
#include "platform/trace.h"

namespace pdb3 {
namespace {

const wchar_t kSmartLearningFolder[] = L"SmartLearning";
const wchar_t kSmartLearningSet[] = L"1";

bool contains(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

void traceLoop(int eid) { platform::traceError("folder rows loop back at element %d\n", eid); }

// `ancestors` holds the folders being expanded: meeting one again means the rows form a cycle.
bool appendDescendants(const DbObject& accessor, std::deque<int>& out, int fid, std::vector<int>& ancestors) {
  std::deque<int> children;
  if (!querySqlfIntList(accessor, children, L"SELECT eid FROM folder WHERE fid=%d", fid)) return false;
  ancestors.push_back(fid);
  for (int child : children) {
    out.push_back(child);
    if (elementType(accessor, child) > kFolderElement) continue;
    if (contains(ancestors, child)) {
      traceLoop(child);
      return false;
    }
    if (!appendDescendants(accessor, out, child, ancestors)) return false;
  }
  ancestors.pop_back();
  return true;
}

bool deleteTree(const DbObject& accessor, int eid, std::vector<int>& ancestors) {
  // A type that could not be read is no proof of a set: a folder deleted as one would leave its
  // contents behind without a place in the tree.
  int type = -1;
  if (readElementType(accessor, eid, type) == FirstRow::failed) return false;
  if (type == kFolderElement) {
    if (contains(ancestors, eid)) {
      traceLoop(eid);
      return false;
    }
    std::deque<int> children;
    if (!childIds(FolderRecord(accessor, eid), children)) return false;
    ancestors.push_back(eid);
    for (int child : children)
      if (!deleteTree(accessor, child, ancestors)) return false;
    ancestors.pop_back();
  } else if (!execSqlf(accessor, L"DELETE FROM section WHERE sid=%d", eid)) {
    return false;
  }
  if (!execSqlf(accessor, L"DELETE FROM element_info WHERE eid=%d", eid)) return false;
  return execSqlf(accessor, L"DELETE FROM folder WHERE eid=%d", eid);
}

// The new element's eid, or -1 when the element row (-1) or its folder row (-2) was refused.
int insertElement(const FolderRecord& parent, int type, const std::wstring& name) {
  const int now = static_cast<int>(platform::nowSeconds());
  if (!execSqlf(parent, L"INSERT INTO element_info VALUES(NULL,%d,'%ls','','','',%d,%d,'','')", type,
                escapeSqlQuotesTo(name).c_str(), now, now))
    return -1;
  const int eid = parent.query().connection().lastInsertRowId();
  if (!execSqlf(parent, L"INSERT INTO folder VALUES(%d,%d)", eid, parent.eid)) {
    // An element without its place in the tree could never be seen or deleted again.
    execSqlf(parent, L"DELETE FROM element_info WHERE eid=%d", eid);
    return -2;
  }
  return eid;
}

// A child of the given type: a problem set may share its name with the folder looked for.
FirstRow findChildByNameAndType(const DbObject& accessor, int fid, const std::wstring& name, int type, int& eid) {
  return readFirstInt(
      accessor,
      platform::format(L"SELECT eid FROM element_info WHERE name = '%ls' AND type = %d AND eid in (SELECT eid FROM "
                       L"folder WHERE fid = %d)",
                       escapeSqlQuotesTo(name).c_str(), type, fid),
      eid);
}

std::wstring childByNameSql(int fid, const std::wstring& name) {
  return platform::format(L"SELECT eid FROM element_info WHERE name = '%ls' AND eid in (SELECT eid FROM folder WHERE fid = %d)",
                          escapeSqlQuotesTo(name).c_str(), fid);
}

// The children of folder fid that the rest of a path can go on through: the one named the whole
// rest, and those named what stands before one of its "/". A name may hold "/" itself, so a "/" of
// the path is not always a separator: the shortest name is tried first, as a path was always read,
// so that a path that led to an element still leads to the same one.
std::wstring pathStepSql(int fid, const std::wstring& rest) {
  const std::wstring quoted = escapeSqlQuotesTo(rest);
  return platform::format(L"SELECT eid, name FROM element_info WHERE eid IN (SELECT eid FROM folder WHERE fid = %d) "
                          L"AND (name = '%ls' OR substr('%ls', 1, length(name) + 1) = name || '/') "
                          L"ORDER BY length(name), eid",
                          fid, quoted.c_str(), quoted.c_str());
}

// The element the path leads to from folder fid: missing when no way through the names fits it,
// failed as soon as a step that could have fitted could not be read. Every step takes at least one
// character of the path, so rows that loop back cannot keep it walking.
FirstRow walkPath(const DbObject& accessor, int fid, const std::wstring& rest, int& eid) {
  std::vector<std::pair<int, std::wstring>> steps;
  if (!forEachRow(accessor, pathStepSql(fid, rest),
                  [&](const sqliteplus::SqliteCursor& row) { steps.emplace_back(row.getInt(0), row.getString(1)); }))
    return FirstRow::failed;
  for (const auto& [child, name] : steps) {
    if (name == rest) {
      eid = child;
      return FirstRow::found;
    }
    if (rest.size() <= name.size() || rest.compare(0, name.size(), name) != 0 || rest[name.size()] != L'/') continue;
    const FirstRow below = walkPath(accessor, child, rest.substr(name.size() + 1), eid);
    if (below != FirstRow::missing) return below;
  }
  return FirstRow::missing;
}

int findTypedElementByPath(const DbObject& accessor, const std::wstring& path, int type) {
  int eid = -1;
  return findTypedElement(accessor, path, type, eid) == FirstRow::found ? eid : -1;
}

}  // namespace

FirstRow readElementType(const DbObject& accessor, int eid, int& type) {
  return readFirstInt(accessor, platform::format(L"SELECT type FROM element_info WHERE eid=%d", eid), type);
}

int elementType(const DbObject& accessor, int eid) {
  int type = -1;
  return readElementType(accessor, eid, type) == FirstRow::found ? type : -1;
}

int childIdByName(const DbObject& accessor, int fid, const std::wstring& name) {
  int eid = -1;
  return readFirstInt(accessor, childByNameSql(fid, name), eid) == FirstRow::found ? eid : -1;
}

bool queryElementName(const DbObject& accessor, std::wstring& out, int eid) {
  std::wstring name;
  if (readKeptRow(accessor, "SELECT name FROM element_info WHERE eid = ?", {eid},
                  [&](const sqliteplus::SqliteCursor& row) { name = row.getString(0); }) != FirstRow::found)
    return false;
  out = std::move(name);
  return true;
}

std::wstring elementName(const DbObject& record, int eid) {
  std::wstring name;
  queryElementName(openQuery(record.query().connection()), name, eid);
  return name;
}

int parentFolderOf(const DbObject& accessor, int eid) {
  return queryKeptIntOrMinus1(accessor, "SELECT fid FROM folder WHERE eid = ?", {eid});
}

bool childIds(const FolderRecord& folder, std::deque<int>& out) {
  return querySqlfIntList(folder, out, L"SELECT eid FROM folder WHERE fid=%d", folder.eid);
}

bool listDescendants(const DbObject& accessor, std::deque<int>& out, int fid) {
  std::vector<int> ancestors;
  return appendDescendants(accessor, out, fid, ancestors);
}

FolderRecord getFolder(const DbObject& accessor, int eid) {
  if (eid != 0 && querySqlfIntOrMinus1(accessor, L"SELECT count(*) FROM element_info WHERE eid=%d", eid) != 1)
    throw platform::format(L"フォルダ %d が取得できませんでした", eid);
  return FolderRecord(accessor, eid);
}

int findElementByPath(const DbObject& accessor, int fid, const std::wstring& path) {
  int eid = -1;
  return fid >= 0 && walkPath(accessor, fid, path, eid) == FirstRow::found ? eid : -1;
}

FirstRow findElement(const DbObject& accessor, const std::wstring& path, int& eid) {
  return walkPath(accessor, 0, path, eid);
}

FirstRow findTypedElement(const DbObject& accessor, const std::wstring& path, int type, int& eid) {
  int found = -1, foundType = -1;
  FirstRow row = walkPath(accessor, 0, path, found);
  if (row == FirstRow::found)
    row = readElementType(accessor, found, foundType);
  if (row == FirstRow::found && foundType != type) row = FirstRow::missing;
  if (row == FirstRow::found) eid = found;
  return row;
}

int FindFolderByPath(const DbObject& accessor, const std::wstring& path) {
  return findTypedElementByPath(accessor, path, kFolderElement);
}

int FindProblemSetByPath(const DbObject& accessor, const std::wstring& path) {
  return findTypedElementByPath(accessor, path, kProblemSetElement);
}

FirstRow readElementPath(const DbObject& accessor, int eid, std::wstring& out) {
  if (eid == 0) {
    out.clear();
    return FirstRow::found;
  }
  std::wstring path;
  std::vector<int> visited;
  for (int step = eid; step != 0;) {
    if (contains(visited, step)) {
      traceLoop(step);
      return FirstRow::missing;
    }
    visited.push_back(step);
    std::wstring name;
    int parent = -1;
    FirstRow row = readKeptRow(accessor, "SELECT name FROM element_info WHERE eid = ?", {step},
                               [&](const sqliteplus::SqliteCursor& cursor) { name = cursor.getString(0); });
    if (row == FirstRow::found)
      row = readKeptRow(accessor, "SELECT fid FROM folder WHERE eid = ?", {step},
                        [&](const sqliteplus::SqliteCursor& cursor) { parent = cursor.getInt(0); });
    if (row != FirstRow::found) return row;
    if (parent < 0) return FirstRow::missing;
    path = step == eid ? name : name + L"/" + path;
    step = parent;
  }
  out = path;
  return FirstRow::found;
}

bool getElementPath(const DbObject& accessor, std::wstring& out, int eid) {
  return readElementPath(accessor, eid, out) == FirstRow::found;
}

bool uniqueElementName(const DbObject& accessor, int fid, const std::wstring& name, std::wstring& unique) {
  for (int n = 0; n <= 1000; ++n) {
    const std::wstring candidate = n == 0 ? name : (boost::wformat(L"%s (%d)") % name % n).str();
    int eid = -1;
    const FirstRow found = readFirstInt(accessor, childByNameSql(fid, candidate), eid);
    // A name that could not be looked up is not a free one.
    if (found == FirstRow::failed) return false;
    unique = candidate;
    if (found == FirstRow::missing) break;
  }
  return true;
}

ElementRecord AddBinder(const FolderRecord& parent, const std::wstring& name) {
  const int eid = insertElement(parent, kProblemSetElement, name);
  if (eid == -1) throw std::wstring(L"バインダーの追加に失敗しました(1)");
  if (eid == -2) throw std::wstring(L"バインダーの追加に失敗しました(2)");
  return ElementRecord(parent, eid);
}

int addFolderElement(const FolderRecord& parent, const std::wstring& name) {
  return std::max(insertElement(parent, kFolderElement, name), -1);
}

bool deleteElementTree(const DbObject& accessor, int eid) {
  std::vector<int> ancestors;
  return deleteTree(accessor, eid, ancestors);
}

std::wstring smartLearningSetSql() {
  return platform::format(L"SELECT eid FROM element_info WHERE name = '%ls' AND type = %d AND eid IN (SELECT eid FROM "
                          L"folder WHERE fid IN (SELECT eid FROM element_info WHERE name = '%ls' AND type = %d AND "
                          L"eid IN (SELECT eid FROM folder WHERE fid = 0)))",
                          kSmartLearningSet, kProblemSetElement, kSmartLearningFolder, kFolderElement);
}

int EnsureSmartLearningBinder(sqliteplus::SqliteConnection& connection) {
  const DbObject accessor = openQuery(connection);
  // A folder or set that could not be looked up is not a missing one: made then, it would be a
  // second one once the file can be read again.
  bool lookedUp = true;
  const auto find = [&](int fid, const wchar_t* name, int type) {
    int eid = -1;
    if (fid >= 0 && findChildByNameAndType(accessor, fid, name, type, eid) == FirstRow::failed) lookedUp = false;
    return eid;
  };
  int fid = find(0, kSmartLearningFolder, kFolderElement);
  int sid = find(fid, kSmartLearningSet, kProblemSetElement);
  if (sid >= 0) return sid;
  if (!lookedUp) {
    platform::traceError("the smart-learning set SmartLearning/1 cannot be read\n");
    return -1;
  }
  // The folder and its set come together or not at all: an empty folder left by a refused set
  // would only puzzle the user.
  const bool made = runInTransaction(accessor, [&] {
    if (fid < 0) fid = insertElement(FolderRecord(accessor, 0), kFolderElement, kSmartLearningFolder);
    if (fid >= 0) sid = insertElement(FolderRecord(accessor, fid), kProblemSetElement, kSmartLearningSet);
    return fid >= 0 && sid >= 0;
  });
  if (made) return sid;
  platform::traceError("the smart-learning set SmartLearning/1 cannot be made\n");
  return -1;
}

}  // namespace pdb3
