// Build-time tool: makes a database file from SQL scripts, run in order.
//   kelvara_make_database <output file> <script>...
// The file is built under a temporary name and moved into place only when every script ran, so a
// failed build never leaves a half-made database where the program looks for one.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool readFile(const char* path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

bool runScripts(const std::string& output, int count, char** scripts) {
  sqlite3* db = nullptr;
  if (sqlite3_open(output.c_str(), &db) != SQLITE_OK) {
    std::fprintf(stderr, "kelvara_make_database: cannot create %s: %s\n", output.c_str(), sqlite3_errmsg(db));
    sqlite3_close(db);
    return false;
  }
  bool ok = true;
  for (int i = 0; ok && i < count; ++i) {
    std::string sql;
    char* error = nullptr;
    if (!readFile(scripts[i], sql)) {
      std::fprintf(stderr, "kelvara_make_database: cannot read %s\n", scripts[i]);
      ok = false;
    } else if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::fprintf(stderr, "kelvara_make_database: %s: %s\n", scripts[i], error ? error : "failed");
      ok = false;
    }
    sqlite3_free(error);
  }
  return sqlite3_close(db) == SQLITE_OK && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kelvara_make_database <output file> <script>...\n");
    return 2;
  }
  const std::filesystem::path output = argv[1];
  const std::filesystem::path temporary = output.string() + ".tmp";
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  if (!runScripts(temporary.string(), argc - 2, argv + 2)) {
    std::filesystem::remove(temporary, ignored);
    return 1;
  }
  std::error_code error;
  std::filesystem::rename(temporary, output, error);
  if (error) {
    std::fprintf(stderr, "kelvara_make_database: cannot move the database to %s: %s\n", output.c_str(),
                 error.message().c_str());
    return 1;
  }
  return 0;
}
