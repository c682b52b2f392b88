#include "platform/settings/registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>

#include "platform/files/file_system.h"
#include "platform/windows/notifier.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

std::wstring fold(std::wstring_view name) {
  return QString::fromStdWString(std::wstring(name)).toCaseFolded().toStdWString();
}

std::vector<std::wstring> splitPath(std::wstring_view path) {
  std::vector<std::wstring> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring_view::npos) end = path.size();
    if (end > start) names.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

struct Node {
  std::wstring name;
  std::map<std::wstring, std::pair<std::wstring, RegistryValue>> values;  // folded -> (name, value)
  std::map<std::wstring, std::unique_ptr<Node>> children;                 // folded -> key
};

Node* child(Node* node, const std::wstring& name, bool create) {
  const std::wstring key = fold(name);
  auto found = node->children.find(key);
  if (found != node->children.end()) return found->second.get();
  if (!create) return nullptr;
  auto made = std::make_unique<Node>();
  made->name = name;
  return node->children.emplace(key, std::move(made)).first->second.get();
}

Node* walk(Node* node, const std::vector<std::wstring>& path, bool create) {
  for (const std::wstring& name : path) {
    node = child(node, name, create);
    if (!node) return nullptr;
  }
  return node;
}

// The file format: {"kelvara-registry": 1, "root": key}, a key being
// {"name", "values": [{"name", "type": "sz"|"dword"|"binary", "data"}], "keys": [key...]}.
QJsonObject toJson(const Node& node) {
  QJsonArray values;
  for (const auto& [folded, entry] : node.values) {
    const RegistryValue& value = entry.second;
    QJsonObject item{{"name", QString::fromStdWString(entry.first)}};
    switch (value.type) {
      case RegistryType::String:
        item["type"] = "sz";
        item["data"] = QString::fromStdWString(value.text);
        break;
      case RegistryType::Dword:
        item["type"] = "dword";
        item["data"] = static_cast<double>(value.number);
        break;
      case RegistryType::Binary:
        item["type"] = "binary";
        item["data"] = QString::fromLatin1(
            QByteArray(reinterpret_cast<const char*>(value.bytes.data()), value.bytes.size()).toBase64());
        break;
    }
    values.append(item);
  }
  QJsonArray keys;
  for (const auto& [folded, sub] : node.children) keys.append(toJson(*sub));
  return {{"name", QString::fromStdWString(node.name)}, {"values", values}, {"keys", keys}};
}

bool fromJson(const QJsonObject& object, Node& node) {
  if (!object["name"].isString() || !object["values"].isArray() || !object["keys"].isArray()) return false;
  node.name = object["name"].toString().toStdWString();
  for (const QJsonValue& entry : object["values"].toArray()) {
    const QJsonObject item = entry.toObject();
    const QString type = item["type"].toString();
    const QJsonValue data = item["data"];
    if (!item["name"].isString()) return false;
    RegistryValue value;
    if (type == "sz" && data.isString()) {
      value = RegistryValue::fromString(data.toString().toStdWString());
    } else if (type == "dword" && data.isDouble() && data.toDouble() >= 0 && data.toDouble() <= 4294967295.0) {
      value = RegistryValue::fromDword(static_cast<uint32_t>(data.toDouble()));
    } else if (type == "binary" && data.isString()) {
      const auto bytes =
          QByteArray::fromBase64Encoding(data.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
      // Bytes that are no base64 are damage like any other, not an empty value.
      if (bytes.decodingStatus != QByteArray::Base64DecodingStatus::Ok) return false;
      value = RegistryValue::fromBinary(std::vector<uint8_t>(bytes.decoded.begin(), bytes.decoded.end()));
    } else {
      return false;
    }
    const std::wstring name = item["name"].toString().toStdWString();
    node.values[fold(name)] = {name, value};
  }
  for (const QJsonValue& entry : object["keys"].toArray()) {
    auto sub = std::make_unique<Node>();
    if (!entry.isObject() || !fromJson(entry.toObject(), *sub)) return false;
    const std::wstring key = fold(sub->name);
    node.children[key] = std::move(sub);
  }
  return true;
}

struct FileStamp {
  bool exists = false;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true, info.st_ino, info.st_size,
          static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

class FileLock {
 public:
  explicit FileLock(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Another process (the program and its editor, two test processes) may change the file at any
// time: each operation compares the file's stamp with the one it loaded, and every change is a
// read-modify-write under an flock on "<file>.lock".
class RootStore {
 public:
  explicit RootStore(std::string file) : file_(std::move(file)) {}

  // Null when the file exists but cannot be read: then nothing may be written over it either.
  Node* current() {
    const FileStamp stamp = stampOf(file_);
    if (loaded_ && stamp == stamp_) return &tree_;
    tree_ = Node();
    loaded_ = false;
    if (stamp.exists) {
      const std::optional<std::string> bytes = readFileBytes(fromUtf8(file_));
      if (!bytes) {
        traceError("registry: cannot read %s\n", file_.c_str());
        return nullptr;
      }
      QJsonParseError error;
      const QJsonDocument document =
          QJsonDocument::fromJson(QByteArray::fromRawData(bytes->data(), bytes->size()), &error);
      const QJsonObject top = document.object();
      if (error.error != QJsonParseError::NoError || top["kelvara-registry"].toInt() != 1 ||
          !top["root"].isObject() || !fromJson(top["root"].toObject(), tree_)) {
        tree_ = Node();
        setAside();
        stamp_ = stampOf(file_);
        loaded_ = true;
        return &tree_;
      }
    }
    stamp_ = stamp;
    loaded_ = true;
    return &tree_;
  }

  bool save() {
    const QJsonObject top{{"kelvara-registry", 1}, {"root", toJson(tree_)}};
    const QByteArray bytes = QJsonDocument(top).toJson(QJsonDocument::Indented);
    if (writeFileAtomically(fromUtf8(file_), std::string_view(bytes.constData(), bytes.size()))) {
      stamp_ = stampOf(file_);
      return true;
    }
    loaded_ = false;  // the change did not reach the file: forget it
    return false;
  }

  // Inside a batch the first change keeps the file locked, and the tree is written once, when
  // the batch ends; until then nobody else can change the file under the pending changes.
  bool batchLocked() const { return batchLock_ != nullptr; }
  void deferSave(std::unique_ptr<FileLock> lock) {
    if (!batchLock_) batchLock_ = std::move(lock);
  }
  bool flush() {
    if (!batchLock_) return true;
    const bool saved = save();
    batchLock_.reset();
    return saved;
  }

  const std::string& file() const { return file_; }
  std::string takeDamageReport() { return std::exchange(damageReport_, {}); }

 private:
  void setAside() {
    char when[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", std::localtime(&now));
    // A name of its own: a file damaged again within the second must not replace the first one.
    std::string aside = file_ + ".damaged-" + when;
    for (int n = 2; ::link(file_.c_str(), aside.c_str()) != 0; ++n) {
      if (errno != EEXIST || n > 100) {
        // Another process set it aside first, or the folder is read-only: nothing is lost either way.
        traceError("registry: %s is damaged and could not be set aside\n", file_.c_str());
        return;
      }
      aside = file_ + ".damaged-" + when + "-" + std::to_string(n);
    }
    ::unlink(file_.c_str());
    traceError("registry: %s is damaged; it was kept as %s\n", file_.c_str(), aside.c_str());
    damageReport_ = aside;
  }

  std::string file_;
  Node tree_;
  FileStamp stamp_;
  bool loaded_ = false;
  std::string damageReport_;
  std::unique_ptr<FileLock> batchLock_;
};

std::string registryFolder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return std::string(config) + "/kelvara";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.config/kelvara";
}

std::string fileNameOf(RegistryRoot root) {
  return root == RegistryRoot::LocalMachine ? "registry-local-machine.json" : "registry-current-user.json";
}

std::mutex gMutex;
std::map<std::string, std::unique_ptr<RootStore>> gStores;
int gBatchDepth = 0;

// A damaged file found on the way is reported after the store's lock is released, since the
// message box runs an event loop that may reach the registry again.
void reportDamage(const std::string& aside) {
  // Without a GUI application (a command-line tool) the trace line is the whole report.
  if (aside.empty() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  messageBox(nullptr,
             L"設定ファイルが壊れていたため、新しい設定で始めます。\n壊れたファイルは次の名前で残してあります:\n" +
                 fromUtf8(aside),
             L"Kelvara", MbOk | MbIconWarning);
}

RootStore& storeFor(RegistryRoot root) {
  const std::string file = registryFolder() + "/" + fileNameOf(root);
  auto& store = gStores[file];
  if (!store) store = std::make_unique<RootStore>(file);
  return *store;
}

// Runs a reading operation on the current tree of a root.
template <class Result, class Operation>
Result readTree(RegistryRoot root, Result failure, Operation operation) {
  std::string aside;
  Result result = failure;
  {
    std::lock_guard guard(gMutex);
    RootStore& store = storeFor(root);
    if (Node* tree = store.current()) result = operation(*tree);
    aside = store.takeDamageReport();
  }
  reportDamage(aside);
  return result;
}

// Runs a changing operation (it returns whether it succeeded and sets changed when the tree
// must be written) under the file lock; a failed write undoes the change.
template <class Operation>
bool changeTree(RegistryRoot root, Operation operation) {
  std::string aside;
  bool result = false;
  {
    std::lock_guard guard(gMutex);
    const std::string folder = registryFolder();
    RootStore& store = storeFor(root);
    if (!QDir().mkpath(QString::fromStdString(folder))) {
      traceError("registry: cannot make the folder %s\n", folder.c_str());
    } else {
      std::unique_ptr<FileLock> lock;
      if (!store.batchLocked()) lock = std::make_unique<FileLock>(store.file() + ".lock");
      Node* tree = !lock || lock->held() ? store.current() : nullptr;
      if (tree) {
        bool changed = false;
        result = operation(*tree, changed);
        if (changed && gBatchDepth > 0) store.deferSave(std::move(lock));
        else if (changed && !store.save()) result = false;
      }
    }
    aside = store.takeDamageReport();
  }
  reportDamage(aside);
  return result;
}

}  // namespace

template <class Collect>
std::vector<std::wstring> RegistryKey::namesBelow(const RegistryKey& key, Collect collect) {
  if (!key.open_) return {};
  return readTree(key.root_, std::vector<std::wstring>(), [&](Node& tree) {
    std::vector<std::wstring> names;
    if (Node* node = walk(&tree, key.path_, false)) collect(*node, names);
    return names;
  });
}

RegistryBatch::RegistryBatch() {
  std::lock_guard guard(gMutex);
  ++gBatchDepth;
}

RegistryBatch::~RegistryBatch() { commit(); }

bool RegistryBatch::commit() {
  if (!std::exchange(open_, false)) return true;
  std::lock_guard guard(gMutex);
  if (--gBatchDepth > 0) return true;
  bool written = true;
  for (auto& [file, store] : gStores) written = store->flush() && written;
  return written;
}

RegistryValue RegistryValue::fromString(std::wstring text) {
  RegistryValue value;
  value.type = RegistryType::String;
  value.text = std::move(text);
  return value;
}

RegistryValue RegistryValue::fromDword(uint32_t number) {
  RegistryValue value;
  value.type = RegistryType::Dword;
  value.number = number;
  return value;
}

RegistryValue RegistryValue::fromBinary(std::vector<uint8_t> bytes) {
  RegistryValue value;
  value.type = RegistryType::Binary;
  value.bytes = std::move(bytes);
  return value;
}

bool RegistryKey::open(RegistryRoot root, std::wstring_view path, bool create) {
  std::vector<std::wstring> names = splitPath(path);
  const bool found = readTree(root, false, [&](Node& tree) { return walk(&tree, names, false) != nullptr; }) ||
                     (create && changeTree(root, [&](Node& tree, bool& changed) {
                        changed = walk(&tree, names, false) == nullptr;
                        return walk(&tree, names, true) != nullptr;
                      }));
  if (!found) return false;
  root_ = root;
  path_ = std::move(names);
  open_ = true;
  return true;
}

bool RegistryKey::open(const RegistryKey& parent, std::wstring_view path, bool create) {
  if (!parent.open_) return false;
  std::wstring full;
  for (const std::wstring& name : parent.path_) full += name + L"\\";
  return open(parent.root_, full + std::wstring(path), create);
}

std::optional<RegistryValue> RegistryKey::value(std::wstring_view name) const {
  if (!open_) return std::nullopt;
  return readTree(root_, std::optional<RegistryValue>(), [&](Node& tree) -> std::optional<RegistryValue> {
    Node* node = walk(&tree, path_, false);
    if (!node) return std::nullopt;
    auto found = node->values.find(fold(name));
    if (found == node->values.end()) return std::nullopt;
    return found->second.second;
  });
}

bool RegistryKey::setValue(std::wstring_view name, const RegistryValue& value) {
  if (!open_) return false;
  return changeTree(root_, [&](Node& tree, bool& changed) {
    Node* node = walk(&tree, path_, false);
    if (!node) return false;
    auto [entry, added] = node->values.try_emplace(fold(name), std::wstring(name), value);
    changed = added || !(entry->second.second == value);
    entry->second.second = value;
    return true;
  });
}

bool RegistryKey::deleteValue(std::wstring_view name) {
  if (!open_) return false;
  return changeTree(root_, [&](Node& tree, bool& changed) {
    Node* node = walk(&tree, path_, false);
    changed = node && node->values.erase(fold(name)) > 0;
    return changed;
  });
}

bool RegistryKey::deleteSubKey(std::wstring_view path) {
  if (!open_) return false;
  std::vector<std::wstring> names = path_;
  for (std::wstring& name : splitPath(path)) names.push_back(std::move(name));
  if (names.size() == path_.size()) return false;  // a key does not delete itself
  return changeTree(root_, [&](Node& tree, bool& changed) {
    Node* parent = walk(&tree, std::vector<std::wstring>(names.begin(), names.end() - 1), false);
    changed = parent && parent->children.erase(fold(names.back())) > 0;
    return changed;
  });
}

std::vector<std::wstring> RegistryKey::valueNames() const {
  return namesBelow(*this, [](const Node& node, std::vector<std::wstring>& names) {
    for (const auto& [folded, entry] : node.values) names.push_back(entry.first);
  });
}

std::vector<std::wstring> RegistryKey::subKeyNames() const {
  return namesBelow(*this, [](const Node& node, std::vector<std::wstring>& names) {
    for (const auto& [folded, sub] : node.children) names.push_back(sub->name);
  });
}

std::wstring registryFilePath(RegistryRoot root) { return fromUtf8(registryFolder() + "/" + fileNameOf(root)); }

}  // namespace platform
