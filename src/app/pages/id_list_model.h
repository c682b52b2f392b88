// The main dialog's question lists hold only question ids: the model asks its page for a cell
// when the view shows it, and the page reads the records of the rows in view.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QTableView;

class IdRowSource {
 public:
  virtual ~IdRowSource() = default;
  virtual int listRowCount() const = 0;
  // The text of a cell; false when the row shows none.
  virtual bool rowText(int row, int column, std::wstring& text) = 0;
  // -1 no image, 0 the unmarked row's, 1 the marked row's.
  virtual int rowImage(int row) = 0;
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

 private:
  IdRowSource& source_;
  std::vector<const wchar_t*> titles_;
  // Made once: the view asks for a row's image whenever it paints the row.
  RowMarks marks_;
};

// Sets the view up as the pages' lists look: whole rows, no editing, the given column widths.
void setUpIdList(QTableView& view, IdListModel& model, const std::vector<int>& widths);
// The rows in view, widened to take in `row`, within 0..rowCount-1.
std::pair<int, int> rowsInView(const QTableView& view, int row, int rowCount);
