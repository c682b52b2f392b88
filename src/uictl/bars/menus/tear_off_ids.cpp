#include "uictl/bars/menus/tear_off_ids.h"

namespace {
TearOffIds* g_tearOffManager = nullptr;
}

void setTearOffManager(TearOffIds* manager) { g_tearOffManager = manager; }
TearOffIds* tearOffManager() { return g_tearOffManager; }
