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

class IdRowSource {
 public:
  virtual ~IdRowSource() = default;
  virtual int listRowCount() const = 0;
  // The text of a cell; false when the row shows none.
  virtual bool rowText(int row, int column, std::wstring& text) = 0;
  // -1 no image, 0 the unmarked row's, 1 the marked row's.
  virtual int rowImage(int row) = 0;
  // Reads the records of rows first..last, which are about to show, in place of what it read of
  // them before. False when they cannot be read: they then show as not read.
  virtual bool readRows(int first, int last) = 0;
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
 public:
  IdListModel(IdRowSource& source, std::vector<const wchar_t*> titles, RowMarks marks = checkBoxMarks());
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Runs the change of the rows between the view's two resets.
  void reset(const std::function<void()>& change);
  // Every cell is asked for again.
  void refresh();
  // Runs a change of what the rows show, the rows themselves kept, between the view's layout
  // signals: the rows in view are read again, and the selection and the scroll stay.
  void reread(const std::function<void()>& change);
  IdRowSource& source() const { return source_; }

 private:
  IdRowSource& source_;
  std::vector<const wchar_t*> titles_;
  // Made once: the view asks for a row's image whenever it paints the row.
  RowMarks marks_;
};

// Has the source read the rows in view whenever they change: a scroll, a resize, the list shown,
// its rows replaced or reread. That happens before the paint, and never while the list is off
// screen: a page that is not shown reads nothing. A range that could not be read is read again at
// the next change or refresh.
class VisibleRowReader : public QObject {
 public:
  VisibleRowReader(QTableView& view, IdRowSource& source);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The rows in view now; first > last when none.
  std::pair<int, int> rowsInView() const;
  // Has the rows in view read when they differ from those read last, or always when `again`
  // (the rows were replaced or are to be reread: what another program wrote since shows).
  void readChanged(bool again);

  QTableView& view_;
  // Kept apart: the viewport still sends events while the view around it is being destroyed.
  QWidget* const viewport_;
  IdRowSource& source_;
  std::pair<int, int> read_{0, -1};  // the range read last; none after a failure or a reset
};

// Sets the view up as the pages' lists look: whole rows, no editing, the given column widths, and
// gives it the reader that has the model's source read the rows in view.
void setUpIdList(QTableView& view, IdListModel& model, const std::vector<int>& widths);
