#include "uictl/bars/menus/tear_off_ids.h"

namespace {
TearOffIds* g_tearOffManager = nullptr;
}

void setTearOffManager(TearOffIds* manager) { g_tearOffManager = manager; }
TearOffIds* tearOffManager() { return g_tearOffManager; }

unsigned takeTearOffId(std::wstring& title) { return g_tearOffManager ? g_tearOffManager->TakeIdFromTitle(title) : 0; }

std::wstring titleWithTearOffId(const std::wstring& title, unsigned id) {
  std::wstring decorated = title;
  if (g_tearOffManager && id != 0) g_tearOffManager->PutIdIntoTitle(id, decorated);
  return decorated;
}
