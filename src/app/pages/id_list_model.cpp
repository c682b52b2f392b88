#include "app/pages/id_list_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "app/common/quiet_retry.h"
#include "app/shell/app_resources.h"
#include "platform/drawing/desktop_colours.h"
#include "platform/drawing/readable_colour.h"
#include "platform/drawing/readable_image.h"
#include "platform/drawing/system_metrics.h"

namespace {

constexpr int kRowHeight = 18;

constexpr int kMarkSize = 16;

// A picture of the program's resources, drawn for the classic white list: its inks (a box's frame,
// a tick) take shades that stand out from the list's ground, the tick's colour as much as the frame.
QIcon rowIcon(int id) {
  initAppResources();
  const QImage picture(QString(":/app/icon/%1.xpm").arg(id));
  const platform::COLORREF ground = platform::fromPixel(QApplication::palette().color(QPalette::Base).rgb());
  return QIcon(QPixmap::fromImage(platform::inkStandingOutOn(
      picture, ground, platform::classicSysColor(platform::ColorWindow), platform::InkParts::all)));
}

QIcon dot(bool filled) {
  QPixmap picture(kMarkSize, kMarkSize);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor ink = QApplication::palette().color(QPalette::Text);
  painter.setPen(QPen(ink, 1.2));
  painter.setBrush(filled ? QBrush(ink) : QBrush(Qt::NoBrush));
  painter.drawEllipse(QRectF(4.5, 4.5, 7, 7));
  return QIcon(picture);
}

}  // namespace

// Icon 276 ticks a row, 277 leaves it unticked.
RowMarks checkBoxMarks() { return {rowIcon(276), rowIcon(277), {}}; }

RowMarks dotMarks(const QString& toolTip) { return {dot(true), dot(false), toolTip}; }

IdListModel::IdListModel(IdRowSource& source, std::vector<const wchar_t*> titles, std::function<RowMarks()> inkMarks)
    : source_(source), titles_(std::move(titles)), inkMarks_(std::move(inkMarks)), marks_(inkMarks_()) {
  platform::whenPaletteChanges(this, [this] {
    marks_ = inkMarks_();
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
  });
}

int IdListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : source_.listRowCount(); }

int IdListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant IdListModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::DisplayRole) {
    std::wstring text;
    if (source_.rowText(index.row(), index.column(), text)) return QString::fromStdWString(text);
  } else if (role == Qt::DecorationRole && index.column() == 0) {
    const int image = source_.rowImage(index.row());
    if (image >= 0) return image == 1 ? marks_.marked : marks_.unmarked;
  } else if (role == Qt::ToolTipRole && index.column() == 0 && !marks_.toolTip.isEmpty()) {
    if (source_.rowImage(index.row()) >= 0) return marks_.toolTip;
  }
  return {};
}

QVariant IdListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
    return QString::fromStdWString(titles_[section]);
  return {};
}

void IdListModel::reset(const std::function<void()>& change) {
  beginResetModel();
  change();
  endResetModel();
}

void IdListModel::reread(const std::function<void()>& change) {
  // Not the layout signals: the selection would save and restore an index of every cell it holds.
  change();
  emit rowsToBeReadAgain();
  refresh();
}

void IdListModel::refresh() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

VisibleRowReader::VisibleRowReader(QTableView& view, IdListModel& model, const std::wstring& unread)
    : QObject(&view),
      view_(view),
      viewport_(view.viewport()),
      source_(model.source()),
      retry_(new QuietRetry(*view.viewport(), [this] { return retryQuietly(); }, unread,
                            QuietRetry::BeforePaints::yes)) {
  viewport_->installEventFilter(this);
  connect(view.verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { readChanged(false); });
  connect(&model, &QAbstractItemModel::modelReset, this, [this] { readChanged(true); });
  connect(&model, &IdListModel::rowsToBeReadAgain, this, [this] { readChanged(true); });
}

std::pair<int, int> VisibleRowReader::rowsInView() const {
  const int rowCount = view_.model() ? view_.model()->rowCount() : 0;
  const int height = view_.viewport()->height();
  if (rowCount <= 0 || height <= 0) return {0, -1};
  int first = view_.rowAt(0);
  if (first < 0) first = 0;
  int last = view_.rowAt(height - 1);
  // Below the last row, or before the header knows the rows' heights: as many as the height holds.
  if (last < 0) last = first + height / kRowHeight + 1;
  return {first, std::min(last, rowCount - 1)};
}

void VisibleRowReader::readChanged(bool again) {
  if (again) read_ = {0, -1};
  if (!view_.isVisible()) return;
  const std::pair<int, int> rows = rowsInView();
  if (rows.first > rows.second) {
    retry_->follow(true);  // nothing in view is left unread
    return;
  }
  if (rows != read_) read(rows, RowRead::cameIntoView);
}

bool VisibleRowReader::read(std::pair<int, int> rows, RowRead why) {
  const bool done = source_.readRows(rows.first, rows.second, why);
  read_ = done ? rows : std::pair<int, int>{0, -1};
  retry_->follow(done);
  return done;
}

bool VisibleRowReader::retryQuietly() {
  const std::pair<int, int> rows = rowsInView();
  if (rows.first > rows.second) return true;
  if (!read(rows, RowRead::retriedQuietly)) return false;
  // Before a paint, the rows read are drawn in the same paint; on the timer, in the next.
  viewport_->update();
  return true;
}

bool VisibleRowReader::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::Resize || event->type() == QEvent::Show) && watched == viewport_) readChanged(false);
  return QObject::eventFilter(watched, event);
}

void setUpIdList(QTableView& view, IdListModel& model, const std::vector<int>& widths, const std::wstring& unread) {
  initAppResources();
  view.setModel(&model);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setShowGrid(true);
  view.setIconSize(QSize(16, 16));
  view.verticalHeader()->hide();
  view.verticalHeader()->setDefaultSectionSize(kRowHeight);
  view.horizontalHeader()->setSectionsClickable(true);
  // The titles start where their columns' texts do.
  view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (size_t c = 0; c < widths.size(); ++c) view.setColumnWidth(static_cast<int>(c), widths[c]);
  new VisibleRowReader(view, model, unread);  // the view's child
}
