// What the main dialog's pages ask of the dialog that hosts them: its figures of the current
// round, the page shown, and the road into a study. The main dialog implements it; a page's
// tests give it a small host of their own.
#pragma once

#include <string>
#include <vector>

class QWidget;
class SoundQueue;

constexpr int kSmartLearningPage = 4;

class MainDialogHost {
 public:
  virtual ~MainDialogHost() = default;

  // Figures of the current set, user and mode, recomputed by RefreshPages.
  virtual int questionCount() const = 0;    // usable questions of the set; 0 while a folder is chosen
  virtual int translatedCount() const = 0;  // questions already asked in the current round
  virtual int remainCount() const = 0;      // questions left in the current round
  virtual bool folderSelected() const = 0;
  // First-answer correct and incorrect counts of the current round; 0 without one.
  virtual int totalCorrects() const = 0;
  virtual int totalIncorrects() const = 0;
  // The page shown, 0..4 (kSmartLearningPage the last); -1 before the first one is shown.
  virtual int currentPage() const = 0;
  // Names joined by "/" from the root, of the set or folder chosen.
  virtual std::wstring setPath() const = 0;

  // Runs a study of ids under title; true when it ran to its end, and then everything the study
  // changed has been read again.
  virtual bool StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) = 0;
  // The ids a study of the page shown takes; false (after telling the user why) when there are none.
  virtual bool SelectStudyQuestions(std::vector<int>& ids) = 0;
  // Re-reads everything that depends on the user, mode and set.
  virtual void RefreshPages() = 0;
  // `page` could not read what it shows, for the cause noted on this thread now: that page is read
  // again by itself (its part of the dialog's refresh) once another program's lock lets go. A host
  // without a refresh of its own has nothing to do.
  virtual void RereadWhenFree(const QWidget& /*page*/) {}
  // The window title: the text given, or the program's own title when the text is empty.
  virtual void UpdateTitle(const std::wstring& text = std::wstring()) = 0;
  // The dialog's window, parent of the pages and of the boxes they show.
  virtual QWidget* dialogWindow() = 0;
  // The dialog's sound queue, which plays the recorded sounds of questions the pages pronounce.
  virtual SoundQueue& soundQueue() = 0;
  // The ranking page's update (its button 1013) and a repaint of that page: the learning page's
  // study button does this instead of a study while the ranking page shows.
  virtual void UpdateRankingPage() = 0;
};
