// The sixteen functions of the table KLV. Each checks its arguments exactly as skins expect and
// raises its own error text; drawing goes to the OnUpdate DC or, outside it, to a DC of its own
// on the window's surface.
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/clock.h"
#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "platform/trace.h"
#include "study/window/control_ids.h"
#include "study/skin/study_skin_host.h"
#include "study/skin/font_spec.h"
#include "study/skin/skin_script.h"
#include "study/skin/skin_text.h"

namespace study {

namespace {

// A wrong call of a host function. Lua raises errors with a long jump, which would skip the
// destructors of the function's strings, images and drawing contexts: the functions throw this
// instead, and `guarded` raises the Lua error once the call's C++ objects are gone.
struct SkinCallError {
  std::optional<std::string> message;  // the error value; none raises nil
};

[[noreturn]] void raise(std::string message) { throw SkinCallError{std::move(message)}; }

[[noreturn]] void argumentError(const char* function) {
  raise(std::string(function) + " : 引数エラー");
}

// Only study windows run skins with these functions; `guarded` makes sure one is there.
StudySkinHost& host() { return static_cast<StudySkinHost&>(*scriptHost()); }

template <lua_CFunction function>
int guarded(lua_State* L) {
  try {
    // A state can outlive its window (a finaliser run as the state closes): nothing to draw on.
    if (!scriptHost()) throw SkinCallError{"KLV : 学習ウィンドウがありません"};
    return function(L);
  } catch (const SkinCallError& error) {
    if (error.message) {
      lua_pushlstring(L, error.message->data(), error.message->size());
    } else {
      lua_pushnil(L);
    }
  } catch (const std::exception& error) {
    lua_pushstring(L, error.what());
  }
  return lua_error(L);
}

bool numbersAt(lua_State* L, int first, int last) {
  for (int i = first; i <= last; ++i) {
    if (!lua_isnumber(L, i)) return false;
  }
  return true;
}

int intAt(lua_State* L, int index) { return truncateToInt(lua_tonumber(L, index)); }

// Coordinates beyond this reach lie far outside any window. A wrong skin placing something
// there would cost billions of drawing steps or overflow the pixel arithmetic.
constexpr int kReach = 1 << 14;

int coordAt(lua_State* L, int index) { return std::clamp(intAt(L, index), -kReach, kReach); }
platform::Rect rectAt(lua_State* L, int first) {
  return {coordAt(L, first), coordAt(L, first + 1), coordAt(L, first + 2), coordAt(L, first + 3)};
}
std::string stringAt(lua_State* L, int index) {
  size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  return text ? std::string(text, length) : std::string();
}
std::wstring wideAt(lua_State* L, int index) { return Utf8ToWideString(stringAt(L, index)); }

// Names are compared in the skin files' code page, exactly.
std::string nameAt(lua_State* L, int index) { return Utf8ToAcpString(stringAt(L, index)); }

// The DC a function draws on: OnUpdate's, or one of its own for this call, which shows what was
// drawn when it goes.
class SkinDc {
 public:
  SkinDc() {
    if (host().paintDc) {
      dc_ = host().paintDc;
      return;
    }
    own_ = std::make_unique<platform::Dc>(host().surface());
    own_->setBkColor(host().backgroundColor);
    own_->setBkMode(platform::Transparent);
    dc_ = own_.get();
  }
  ~SkinDc() {
    if (own_) host().showDrawn();
  }
  platform::Dc* operator->() { return dc_; }
  platform::Dc& operator*() { return *dc_; }

 private:
  platform::Dc* dc_;
  std::unique_ptr<platform::Dc> own_;
};

bool fourNumbersAndColour(lua_State* L) { return lua_gettop(L) == 5 && numbersAt(L, 1, 4) && lua_isstring(L, 5); }

// Draws the part of the segment within the reach (cut by its parameter range inside the box), so a line
// keeps its slope however far its ends lie.
void segment(platform::Dc& dc, platform::Point from, platform::Point to) {
  const double x = from.x, y = from.y, dx = double(to.x) - x, dy = double(to.y) - y;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {x + kReach, kReach - x, y + kReach, kReach - y};
  double enter = 0, leave = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      enter = std::max(enter, t);
    } else {
      leave = std::min(leave, t);
    }
  }
  if (enter > leave) return;
  dc.moveTo(static_cast<int>(std::lround(x + enter * dx)), static_cast<int>(std::lround(y + enter * dy)));
  dc.lineTo(static_cast<int>(std::lround(x + leave * dx)), static_cast<int>(std::lround(y + leave * dy)));
}

void polyline(platform::Dc& dc, std::initializer_list<platform::Point> points, uint32_t colour) {
  const platform::Pen previous = dc.selectPen(platform::Pen::solid(colour));
  for (auto at = points.begin(); at + 1 != points.end(); ++at) segment(dc, at[0], at[1]);
  dc.selectPen(previous);
}

int Alert(lua_State* L) {
  if (lua_gettop(L) < 1 || !lua_isstring(L, 1)) throw SkinCallError{};
  const std::string text = stringAt(L, 1);
  platform::trace(" KLV.Alert : %s\n", text.c_str());
  host().alert(Utf8ToWideString(text));
  return 0;
}

int GetScriptFolderPath(lua_State* L) {
  if (lua_gettop(L) != 0) argumentError("GetScriptFolderPath");
  const std::wstring folder = skinFolderOf(host().skinPath()).toStdWString();
  lua_pushstring(L, WideToUtf8String(folder).c_str());
  return 1;
}

int GetTickCount(lua_State* L) {
  if (lua_gettop(L) != 0) argumentError("GetTickCount");
  lua_pushnumber(L, static_cast<double>(static_cast<uint32_t>(platform::tickCountMs())));
  return 1;
}

int DoFile(lua_State* L) {
  if (lua_gettop(L) != 1 || !lua_isstring(L, 1)) argumentError("DoFile");
  std::string path = stringAt(L, 1);
  std::replace(path.begin(), path.end(), '\\', '/');  // as skinNamedFile: no UTF-8 sequence holds the byte
  RunSkinFile(L, path);
  return 0;
}

int DrawLine(lua_State* L) {
  if (!fourNumbersAndColour(L)) argumentError("DrawLine");
  SkinDc dc;
  polyline(*dc, {{intAt(L, 1), intAt(L, 2)}, {intAt(L, 3), intAt(L, 4)}}, parseHexColor(stringAt(L, 5)));
  return 0;
}

int DrawBorder(lua_State* L) {
  if (!fourNumbersAndColour(L)) argumentError("DrawBorder");
  const int x1 = intAt(L, 1), y1 = intAt(L, 2), x2 = intAt(L, 3), y2 = intAt(L, 4);
  SkinDc dc;
  polyline(*dc, {{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}, {x1, y1}}, parseHexColor(stringAt(L, 5)));
  return 0;
}

int FillRect(lua_State* L) {
  // Skins have always seen DrawBorder's text for FillRect's argument error.
  if (!fourNumbersAndColour(L)) argumentError("DrawBorder");
  SkinDc dc;
  dc->fillSolidRect(rectAt(L, 1), parseHexColor(stringAt(L, 5)));
  dc->setBkColor(host().backgroundColor);
  return 0;
}

// Selects the slot's font and the colour for one text, and puts both back afterwards.
class TextStyle {
 public:
  TextStyle(platform::Dc& dc, int fontNumber, uint32_t colour) : dc_(dc), previousColour_(dc.setTextColor(colour)) {
    if (fontNumber >= 0 && fontNumber < kSkinSlotCount && host().fonts[fontNumber]) {
      previousFont_ = dc.selectFont(*host().fonts[fontNumber]);
    }
  }
  ~TextStyle() {
    if (previousFont_) dc_.selectFont(*previousFont_);
    dc_.setTextColor(previousColour_);
  }

 private:
  platform::Dc& dc_;
  uint32_t previousColour_;
  std::optional<platform::Font> previousFont_;
};

int DrawString(lua_State* L) {
  if (lua_gettop(L) < 8 || !numbersAt(L, 1, 4) || !lua_isstring(L, 5) || !lua_isstring(L, 6) || !lua_isnumber(L, 7) ||
      !lua_isstring(L, 8))
    argumentError("DrawString");
  const std::string align = nameAt(L, 6);
  const unsigned format = align == "Center" ? platform::DtCenter : align == "Right" ? platform::DtRight : platform::DtLeft;
  platform::Rect rect = rectAt(L, 1);
  const std::wstring text = host().ExpandTextMacros(wideAt(L, 5));
  SkinDc dc;
  TextStyle style(*dc, intAt(L, 7), parseHexColor(stringAt(L, 8)));
  dc->drawText(text, rect, format);
  return 0;
}

int DrawText(lua_State* L) {
  if (lua_gettop(L) < 5 || !numbersAt(L, 1, 2) || !lua_isstring(L, 3) || !lua_isnumber(L, 4) || !lua_isstring(L, 5))
    argumentError("DrawText");
  const std::wstring text = host().ExpandTextMacros(wideAt(L, 3));
  SkinDc dc;
  TextStyle style(*dc, intAt(L, 4), parseHexColor(stringAt(L, 5)));
  dc->textOut(coordAt(L, 1), coordAt(L, 2), text);
  return 0;
}

constexpr int kPronunciationImage = 100;

int DrawImage(lua_State* L) {
  if (lua_gettop(L) != 9 || !numbersAt(L, 1, 9)) argumentError("DrawImage");
  const int number = intAt(L, 1);
  if (number == kPronunciationImage) {
    const platform::Rect to = rectAt(L, 6);
    SkinDc dc;
    host().DrawPronunciationStrip(*dc, to.left, to.top);
    return 0;
  }
  if (number < 0 || number >= kSkinSlotCount || host().images[number].isNull()) {
    raise(platform::format("DrawImage : 画像ファイル %d が読み込まれていません", number));
  }
  const platform::Rect from = rectAt(L, 2);
  const platform::Rect to = rectAt(L, 6);
  platform::Dc source(host().images[number]);
  SkinDc dc;
  if (from.width() == to.width() && from.height() == to.height()) {
    dc->bitBlt(to.left, to.top, to.width(), to.height(), source, from.left, from.top, platform::SrcCopy);
  } else {
    dc->stretchBlt(to, source, from, platform::SrcCopy);
  }
  return 0;
}

void refuseInsideUpdate(const char* function) {
  if (host().paintDc) raise(std::string(function) + " : OnUpdate から呼び出してはいけません");
}

// The control's place from the call's left, top, right and bottom.
void placeControl(QWidget& control, lua_State* L) {
  const platform::Rect place = rectAt(L, 1);
  control.setGeometry(place.left, place.top, place.width(), place.height());
}

struct EditName {
  const char* name;
  int id;
  std::optional<uint32_t> textColour;
};

const EditName kEdits[] = {
    {"AnswerIndicator", ctl::AnswerDisplay, 0xFF0000}, {"MistakeIndicator", ctl::MistakeDisplay, 0x2020FF},
    {"Question", ctl::QuestionText, 0x880000},          {"Reply", ctl::ReplyEdit, 0x000000},
    {"Select4-1", ctl::FirstChoiceText, {}},            {"Select4-2", ctl::FirstChoiceText + 1, {}},
    {"Select4-3", ctl::FirstChoiceText + 2, {}},        {"Select4-4", ctl::FirstChoiceText + 3, {}},
    {"Pronounce", ctl::Pronounce, {}},                  {"Hint", ctl::HintText, {}},
};

int MoveEdit(lua_State* L) {
  refuseInsideUpdate("MoveEdit");
  const int count = lua_gettop(L);
  if (count < 5 || !numbersAt(L, 1, 4) || !lua_isstring(L, 5) || (count >= 6 && !lua_isnumber(L, 6)) ||
      (count >= 7 && !lua_isstring(L, 7)) || (count >= 8 && !lua_isstring(L, 8)))
    argumentError("MoveEdit");
  const std::string name = nameAt(L, 5);
  const EditName* edit = nullptr;
  for (const EditName& candidate : kEdits) {
    if (name == candidate.name) edit = &candidate;
  }
  if (!edit) return 0;
  QWidget* control = host().skinControl(edit->id);
  if (!control) return 0;
  placeControl(*control, L);
  int slot = 5;
  if (edit->id == ctl::HintText) slot = host().fonts[6] ? 6 : host().fonts[5] ? 5 : -1;
  const int fontArgument = count >= 6 ? intAt(L, 6) : -1;
  if (fontArgument > 0) slot = fontArgument;
  if (slot >= 0 && slot < kSkinSlotCount && host().fonts[slot]) control->setFont(host().fonts[slot]->qfont());
  std::optional<uint32_t> textColour = edit->textColour;
  if (count >= 7) textColour = parseHexColor(stringAt(L, 7));
  const bool groundGiven = count >= 8;
  // A control that fills its ground from the desktop's palette (a field, a text on the system's
  // face) shows the skin's colour in a shade that stands out from that ground.
  if (textColour && !groundGiven) {
    if (qobject_cast<QLineEdit*>(control))
      textColour = platform::keptReadableOnSysColor(*textColour, platform::ColorWindow);
    else if (control->autoFillBackground())
      textColour = platform::keptReadableOnSysColor(*textColour, platform::ColorBtnFace);
  }
  QPalette palette = control->palette();
  if (textColour) {
    palette.setColor(QPalette::WindowText, platform::toQColor(*textColour));
    palette.setColor(QPalette::Text, platform::toQColor(*textColour));
  }
  if (groundGiven) {
    palette.setColor(QPalette::Window, platform::toQColor(parseHexColor(stringAt(L, 8))));
    palette.setColor(QPalette::Base, platform::toQColor(parseHexColor(stringAt(L, 8))));
    control->setAutoFillBackground(true);
  }
  control->setPalette(palette);
  return 0;
}

int buttonId(const std::string& name) {
  static const std::pair<const char*, int> kButtons[] = {
      {"ok", ctl::Ok},           {"cancel", ctl::Cancel},           {"Hint", ctl::HintButton},
      {"EditPopup", ctl::EditPopup}, {"LastQuestionModify", ctl::PreviousQuestion},
      {"Select4-1", ctl::FirstChoiceButton}, {"Select4-2", ctl::FirstChoiceButton + 1},
      {"Select4-3", ctl::FirstChoiceButton + 2}, {"Select4-4", ctl::FirstChoiceButton + 3},
      {"Select4-GiveUp", ctl::GiveUp}, {"Q-Card", ctl::QCard}, {"A-Card", ctl::ACard},
      {"Card-OK", ctl::CardOk},  {"Card-NG", ctl::CardNg},
  };
  for (const auto& [text, id] : kButtons) {
    if (name == text) return id;
  }
  for (int i = 1; i <= 12; ++i) {
    if (name == platform::format("Func%02d", i)) return ctl::FirstFunc + i - 1;
  }
  return -1;
}

int MoveButton(lua_State* L) {
  refuseInsideUpdate("MoveButton");
  if (lua_gettop(L) != 7 || !numbersAt(L, 1, 4) || !lua_isstring(L, 5) || !lua_isstring(L, 6) || !lua_isstring(L, 7))
    argumentError("MoveButton");
  const int id = buttonId(nameAt(L, 5));
  QWidget* button = id < 0 ? nullptr : host().skinControl(id);
  if (!button) return 0;
  placeControl(*button, L);
  if (auto* push = qobject_cast<QPushButton*>(button)) push->setText(QString::fromStdWString(wideAt(L, 6)));
  const std::string state = nameAt(L, 7);
  if (id >= ctl::FirstFunc && id < ctl::FirstFunc + 12) {
    button->show();
  } else if (state == "Normal") {
    button->show();
  } else if (state == "Hide") {
    button->hide();
  } else if (state == "Disable") {
    button->show();
    button->setEnabled(false);
  }
  return 0;
}

int MoveBar(lua_State* L) {
  refuseInsideUpdate("MoveBar");
  if (lua_gettop(L) != 5 || !numbersAt(L, 1, 4) || !lua_isstring(L, 5)) argumentError("MoveBar");
  const std::string name = nameAt(L, 5);
  const int id = name == "TransNumber" ? ctl::TransNumber : name == "ReplyLimit" ? ctl::ReplyLimit : -1;
  QWidget* bar = id < 0 ? nullptr : host().skinControl(id);
  if (!bar) return 0;
  placeControl(*bar, L);
  bar->update();
  return 0;
}

int LoadImageFile(lua_State* L) {
  if (lua_gettop(L) != 2 || !lua_isnumber(L, 1) || !lua_isstring(L, 2)) argumentError("LoadImageFile");
  const int number = intAt(L, 1);
  if (static_cast<unsigned>(number) >= kSkinSlotCount) {
    raise(platform::format("LoadImageFile : 画像番号(%d)が大きすぎます", number));
  }
  const QString path = skinFilePath(host().skinPath(), QString::fromStdWString(wideAt(L, 2)));
  QImage image(path);
  if (image.isNull()) {
    raise(platform::format("LoadImageFile : 画像ファイルの読み込みに失敗しました\n 画像番号：%d\n 画像ファイル名：%s",
                              number, path.toStdString().c_str()));
  }
  host().images[number] = image.convertToFormat(QImage::Format_RGB32);
  return 0;
}

int CreateFont(lua_State* L) {
  if (lua_gettop(L) != 2 || !lua_isnumber(L, 1) || !lua_isstring(L, 2)) argumentError("CreateFont");
  const int number = intAt(L, 1);
  const std::string definition = stringAt(L, 2);
  if (static_cast<unsigned>(number) >= kSkinSlotCount) {
    raise(platform::format("CreateFont : フォント番号(%d)が大きすぎます", number));
  }
  FontSpec spec;
  if (!ParseFontSpec(spec, Utf8ToWideString(definition))) raise("CreateFont : フォント定義が間違っています\n" + definition);
  platform::LogFont description;
  description.height = spec.size;
  description.weight = spec.bold ? 700 : 400;
  description.italic = spec.italic;
  description.underline = spec.underline;
  description.strikeOut = spec.strikeout;
  description.charSet = spec.charset;
  description.pitchAndFamily = platform::SwissFamily;
  description.faceName = spec.faceName;
  host().fonts[number].reset();
  platform::Font font = platform::Font::create(description);
  if (font.isNull()) raise("CreateFont : フォントの作成に失敗しました\n" + definition);
  host().fonts[number] = std::move(font);
  platform::trace("CreateFont : ok, %d, %s\n", number, definition.c_str());
  return 0;
}

int LoadUserVar(lua_State* L) {
  if (lua_gettop(L) != 3 || !lua_isstring(L, 1) || !lua_isstring(L, 2) || !lua_isstring(L, 3))
    argumentError("LoadUserVar");
  const std::string type = nameAt(L, 2);
  if (type != "font" && type != "color" && type != "imagefile") raise("LoadUserVar : 変数タイプが不正です");
  std::wstring value;
  if (type != "imagefile") {
    const SkinUserVars& user = host().skinUserVars();
    const auto& values = type == "font" ? user.fontValues : user.colorValues;
    const auto found = values.find(wideAt(L, 1));
    if (found != values.end()) value = found->second;
  }
  if (value.empty()) {
    lua_pushvalue(L, 3);
  } else {
    lua_pushstring(L, WideToUtf8String(value).c_str());
  }
  return 1;
}

}  // namespace

QString skinFolderOf(const std::wstring& skinPath) {
  return QFileInfo(QString::fromStdWString(skinPath)).absolutePath();
}

QString skinNamedFile(QString name) { return name.replace('\\', '/'); }

QString skinFilePath(const std::wstring& skinPath, const QString& name) {
  const QString path = skinNamedFile(name);
  if (path.isEmpty() || QFileInfo::exists(path)) return path;
  return skinFolderFilePath(skinPath, path);
}

QString skinFolderFilePath(const std::wstring& skinPath, const QString& name) {
  return skinFolderOf(skinPath) + "/" + skinNamedFile(name);
}

const SkinHostFunctions& studySkinHostFunctions() {
  static const SkinHostFunctions functions = {
      guarded<Alert>,      guarded<GetScriptFolderPath>, guarded<GetTickCount>, guarded<DoFile>,
      guarded<DrawLine>,   guarded<DrawBorder>,          guarded<FillRect>,     guarded<DrawString>,
      guarded<DrawText>,   guarded<DrawImage>,           guarded<MoveEdit>,     guarded<MoveButton>,
      guarded<MoveBar>,    guarded<LoadImageFile>,       guarded<CreateFont>,   guarded<LoadUserVar>,
  };
  return functions;
}

}  // namespace study
