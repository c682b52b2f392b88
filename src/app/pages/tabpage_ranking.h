// The main dialog's ranking page: the user's ranking account and options, the upload of the
// points earned since the last accepted update, and the user's total and monthly standing.
#pragma once

#include <QWidget>
#include <string>

#include "app/pages/ranking_protocol.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/files/http_get.h"

class KlvApp;
class MainDialogHost;
class QCheckBox;
class QLineEdit;
class QTabBar;

class CTabpageRanking : public QWidget {
  Q_OBJECT

 public:
  CTabpageRanking(KlvApp& app, MainDialogHost& host, QWidget* parent = nullptr);

  // The whole update: request, reply, record, file and (with notices) the rank boxes. False
  // when the page's data are refused or the transfer failed.
  bool UpdateRanking(bool notices);
  void OnUpdateButton() { UpdateRanking(true); }
  void LoadRankingAccount();
  void SaveRankingAccount();
  void ShowRankNotice(const RankingValues& now, const RankingValues& before,
                      const PointInfoRecord::Counters& accepted, int nextPoints, const std::wstring& title);
  void ShowControlsForTab();
  void OnRegisterUser();
  void OnOpenRankingPage();

  // Dialog data: the three edits to the members and back. Reading refuses a comment longer
  // than 40 characters (with a box when tellRefusal).
  bool readData(bool tellRefusal = true);
  void writeData();

  void OnPaint(platform::Dc& dc);

  // Transfer limits; tests shorten them.
  void setHttpLimits(const platform::HttpLimits& limits) { limits_ = limits; }
  QTabBar& tabs() { return *tabs_; }
  bool accountEdited() const { return accountEdited_; }

  std::wstring m_strId;
  std::wstring m_strPassword;
  std::wstring m_strComment;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnAccountChanged();
  void OnAutoUpdateClicked();
  void OnNotifyPointsClicked();
  // Opens a page of the ranking server in the browser; without a server, says it cannot connect.
  void openServerPage(const std::string& path);
  void saveStore();

  KlvApp& app_;
  MainDialogHost& host_;
  bool accountEdited_ = false;
  platform::HttpLimits limits_;
  QTabBar* tabs_;
  QLineEdit* idEdit_;
  QLineEdit* passwordEdit_;
  QLineEdit* commentEdit_;
  QCheckBox* autoUpdate_;
  QCheckBox* notifyPoints_;
  std::vector<QWidget*> accountControls_;
};
