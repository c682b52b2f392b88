#include "app/shell/program_identity.h"

std::wstring makerAddress() { return L"" KELVARA_MAKER_URL; }
