// The tree of folders and problem sets (elements): reads, creation, unique names, deletion of a
// subtree and paths of names joined by "/" from the root (folder 0, which has no row).
#pragma once

#include <deque>
#include <string>

#include "database/records/element_record.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_connection.h"

namespace pdb3 {

enum ElementType { kFolderElement = 0, kProblemSetElement = 2 };

class FolderRecord : public DbObject {
 public:
  FolderRecord(const DbObject& accessor, int eid) : DbObject(accessor), eid(eid) {}
  int eid;  // 0 = the root
};

// -1 when unreadable.
int elementType(const DbObject& accessor, int eid);
// The type, telling an element that is not there from one that could not be read.
FirstRow readElementType(const DbObject& accessor, int eid, int& type);
// The first child of folder fid with the name; -1 when none.
int childIdByName(const DbObject& accessor, int fid, const std::wstring& name);
bool queryElementName(const DbObject& accessor, std::wstring& out, int eid);
// Empty when there is none.
std::wstring elementName(const DbObject& record, int eid);
// -1 when the element has no parent row.
int parentFolderOf(const DbObject& accessor, int eid);
bool childIds(const FolderRecord& folder, std::deque<int>& out);
// Every element below folder fid, depth first, each folder followed by its contents. False when a
// query fails or the folder rows loop back on themselves (the ids found so far stay in out).
bool listDescendants(const DbObject& accessor, std::deque<int>& out, int fid);
// Throws std::wstring "フォルダ <eid> が取得できませんでした" for an eid without a row.
FolderRecord getFolder(const DbObject& accessor, int eid);

// -1 when fid is negative or a step of the path has no child of that name.
int findElementByPath(const DbObject& accessor, int fid, const std::wstring& path);
// The element at the path from the root, whatever its type, telling one that is not there from
// one that could not be read.
FirstRow findElement(const DbObject& accessor, const std::wstring& path, int& eid);
int FindFolderByPath(const DbObject& accessor, const std::wstring& path);
// The element of that type at the path from the root, telling one that is not there from one
// that could not be read (for a caller that makes it when it is missing).
FirstRow findTypedElement(const DbObject& accessor, const std::wstring& path, int type, int& eid);
int FindProblemSetByPath(const DbObject& accessor, const std::wstring& path);
// The root gives "". False when a name or a parent is missing, or the parents loop.
bool getElementPath(const DbObject& accessor, std::wstring& out, int eid);
// The same, telling a tree left without a name or a parent, or whose parents loop (missing), from
// one that could not be read (failed). `out` is unchanged unless found.
FirstRow readElementPath(const DbObject& accessor, int eid, std::wstring& out);

// The name, or "name (n)" with the first free n up to 1000, into `unique`. False when a name
// could not be looked up.
bool uniqueElementName(const DbObject& accessor, int fid, const std::wstring& name, std::wstring& unique);
// A new problem set in the folder. Throws std::wstring "バインダーの追加に失敗しました(1)" / "(2)".
ElementRecord AddBinder(const FolderRecord& parent, const std::wstring& name);
// A new folder; its eid, or -1.
int addFolderElement(const FolderRecord& parent, const std::wstring& name);

// Deletes an element and, for a folder, everything below it, with the sets' memberships. The
// questions and study logs stay. False at the first failure or when the folder rows loop.
bool deleteElementTree(const DbObject& accessor, int eid);

// Makes the folder "SmartLearning" and its set "1" when missing, both or neither; the set's eid,
// or -1 when it cannot be looked up or made (a database held by another program, read-only or
// full, a refusing trigger; traced on standard error). Never makes a second one of either. The
// connection must not be inside a transaction.
int EnsureSmartLearningBinder(sqliteplus::SqliteConnection& connection);
// A statement that selects the eid of "SmartLearning/1" by its path, for use inside another (as
// "sid NOT IN (...)"): it finds the set also where its id could not be looked up.
std::wstring smartLearningSetSql();

}  // namespace pdb3
