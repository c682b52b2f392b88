// The main dialog's question lists hold only question ids: the page reads the records of the rows
// about to show when the view's range changes, and the model asks it for a cell from what it read.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QTableView;
class QWidget;
class QuietRetry;

// Why rows are read: they come into view by what the learner did (a failure is the action's, said by
// its rule once its input is over), or they could not be read then and are tried again quietly
// (the action that brought them into view has said why: a failure now is only traced).
enum class RowRead { cameIntoView, retriedQuietly };

class IdRowSource {
 public:
  virtual ~IdRowSource() = default;
  virtual int listRowCount() const = 0;
  // The text of a cell; false when the row shows none.
  virtual bool rowText(int row, int column, std::wstring& text) = 0;
  // -1 no image, 0 the unmarked row's, 1 the marked row's.
  virtual int rowImage(int row) = 0;
  // Reads the records of rows first..last, which are about to show, in place of what it read of
  // them before. False when they cannot be read: rows it holds no record of then show as not read.
  virtual bool readRows(int first, int last, RowRead why) = 0;
};

// How a list marks its rows: the pictures of a marked and an unmarked row, and what the marks
// mean (shown over them; none when empty).
struct RowMarks {
  QIcon marked;
  QIcon unmarked;
  QString toolTip;
};
// Check boxes, for rows the user ticks.
RowMarks checkBoxMarks();
// A filled and an empty dot, for rows the program marks: nothing there looks like it takes a click.
RowMarks dotMarks(const QString& toolTip);

class IdListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `inkMarks` draws the marks for the application's palette of the moment: they are drawn again
  // whenever the palette changes (the desktop switched its scheme), so that they stand out from the
  // list's new ground.
  IdListModel(IdRowSource& source, std::vector<const wchar_t*> titles,
              std::function<RowMarks()> inkMarks = checkBoxMarks);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Runs the change of the rows between the view's two resets.
  void reset(const std::function<void()>& change);
  // Every cell is asked for again.
  void refresh();
  // Runs a change of what the rows show, the rows themselves kept: the rows in view are read again
  // (off screen, when the list is next shown), and every cell is asked for again. The selection and
  // the scroll stay as they are, at no cost however many rows they hold.
  void reread(const std::function<void()>& change);
  IdRowSource& source() const { return source_; }

 signals:
  // What the rows show has changed: those in view are to be read again before they are drawn.
  void rowsToBeReadAgain();

 private:
  IdRowSource& source_;
  std::vector<const wchar_t*> titles_;
  std::function<RowMarks()> inkMarks_;
  // Made once for each palette: the view asks for a row's image whenever it paints the row.
  RowMarks marks_;
};

// Has the source read the rows in view whenever they change: a scroll, a resize, the list shown,
// its rows replaced or reread. That happens before the paint, and never while the list is off
// screen: a page that is not shown reads nothing. Rows in view that another program's lock kept
// from being read are tried again quietly (QuietRetry), also before each paint of the window: they
// fill soon after the other program lets go, with no input, all of them in one read.
class VisibleRowReader : public QObject {
 public:
  // `unread`: what the learner is told when the rows cannot be read for a cause that lasts.
  VisibleRowReader(QTableView& view, IdListModel& model, const std::wstring& unread);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The rows in view now; first > last when none.
  std::pair<int, int> rowsInView() const;
  // Has the rows in view read when they differ from those read last, or always when `again`
  // (the rows were replaced or are to be reread: what another program wrote since shows).
  void readChanged(bool again);
  // Reads the rows in view; on a failure for a lock, has them tried again until they are read.
  bool read(std::pair<int, int> rows, RowRead why);
  // Reads the rows in view that could not be read, inside a quiet try; true when there are none left.
  bool retryQuietly();

  QTableView& view_;
  // Kept apart: the viewport still sends events while the view around it is being destroyed.
  QWidget* const viewport_;
  IdRowSource& source_;
  std::pair<int, int> read_{0, -1};  // the range read last; none after a failure or a reset
  QuietRetry* const retry_;
};

// Sets the view up as the pages' lists look: whole rows, no editing, the given column widths, every
// column and its title left-aligned, and gives it the reader that has the model's source read the
// rows in view (`unread` tells a lasting failure to read them).
void setUpIdList(QTableView& view, IdListModel& model, const std::vector<int>& widths, const std::wstring& unread);
