#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>

#include "app/printing/print_surface.h"
#include "app/printing/region_text.h"
#include "app/printing/sheet_renderer.h"
#include "database/records/question.h"
#include "pronouncing_dictionary_writer.h"
#include "print_fixture.h"

using printtest::PrintApp;

TEST(SheetTexts, PlaceholdersTakeTheirWholeNumberAndAreReplacedOnce) {
  PrintApp p;
  const int qid = p.addQuestion(L"犬\r\n%a1", L"dog", L"animal");
  const pdb3::Question question = pdb3::getQuestion(p.accessor(), qid);
  EXPECT_EQ(expandPlaceholders(L"[%q1][%q10][%q2][%a1][%a2][%h1][%h][%%q1]", question),
            L"[犬][%q10][%a1][dog][%a2][animal][%h][%犬]");
  EXPECT_EQ(regionText(0, L"", question, {}), L"犬, %a1");
  EXPECT_EQ(regionText(kModeOwnText, L"%q1=%a1", question, {}), L"犬=dog");
  EXPECT_EQ(regionText(13, L"", question, {}), L"animal");
  EXPECT_EQ(regionText(99, L"", question, {}), L"");
}

TEST(SheetTexts, PronunciationComesFromTheDictionaryThroughTheSymbolLines) {
  PrintApp p;
  std::vector<kpd::WordReadings> words;
  std::string error;
  ASSERT_TRUE(kpd::parseWordList("DOG  D AO1 G\n", words, error)) << error;
  const std::string index = p.dir.path().toStdString() + "/d.kpdidx", data = p.dir.path().toStdString() + "/d.kpddic";
  ASSERT_TRUE(kpd::writePronouncingDictionary(words, index, data, error)) << error;
  study::PronouncingDictionary dictionary;
  ASSERT_TRUE(dictionary.openIndex(data, index));
  std::vector<std::wstring> symbols(71);
  for (int i = 0; i < 71; ++i) symbols[i] = L"<" + std::to_wstring(i) + L">";
  const pdb3::Question question = pdb3::getQuestion(p.accessor(), p.addQuestion(L"犬", L"dog"));
  const std::wstring expected = symbols[dictionary.PhonemeCode("D")] + symbols[dictionary.PhonemeCode("AO1")] +
                                symbols[dictionary.PhonemeCode("G")];
  EXPECT_EQ(regionText(18, L"", question, {&dictionary, &symbols}), expected);
  EXPECT_EQ(regionText(18, L"", question, {nullptr, &symbols}), L"");
}

TEST(SheetOrder, AShuffleNumberGivesTheCLibraryOrderEveryTime) {
  std::vector<int> ids(300);
  for (int i = 0; i < 300; ++i) ids[i] = i + 1;
  for (int number : {1, 7}) {
    std::vector<int> expected = ids;
    std::srand(static_cast<unsigned>(number));
    for (size_t k = 2; k <= expected.size(); ++k) std::swap(expected[k - 1], expected[(std::rand() & 0x7FFF) % k]);
    EXPECT_EQ(shuffledOrder(ids, number), expected) << number;
  }
  EXPECT_EQ(shuffledOrder(ids, 0), ids);
  EXPECT_EQ(shuffledOrder(ids, 3), shuffledOrder(ids, 3));
}

TEST(SheetLayout, WrappedLinesFitAndANarrowNumberedRegionEnds) {
  QImage device(800, 800, QImage::Format_RGB32);
  PrintSurface surface(device, nullptr);
  TemplateFont font = PrintTemplate().regions[0].font;
  const DeviceFont deviceFont(font, device);
  surface.select(deviceFont);
  const QString text = "  1. " + QString("abcdefghij").repeated(8);
  const int width = deviceFont.metrics.horizontalAdvance("abcdefghijabcde");
  const std::vector<QString> lines = wrapText(surface, text, width, 5);
  ASSERT_GT(lines.size(), 3u);
  EXPECT_TRUE(lines[1].startsWith("     ")) << lines[1].toStdString();
  QString joined = lines[0];
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_LE(deviceFont.metrics.horizontalAdvance(lines[i]), width);
    joined += lines[i].mid(5);
  }
  EXPECT_EQ(joined, text);
  // Narrower than the number itself: the first line holds what fits and the wrapping stops.
  const int narrow = deviceFont.metrics.horizontalAdvance("  1.");
  const std::vector<QString> cut = wrapText(surface, text, narrow, 5);
  EXPECT_EQ(cut.size(), 1u);
  EXPECT_TRUE(wrapText(surface, text, 0, 5).empty());
}
