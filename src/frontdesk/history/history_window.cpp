#include "frontdesk/history/history_window.h"

#include "frontdesk/history/checkout_sheet.h"
#include "hotel/history.h"
#include "ui/flex_grid.h"
#include "ui/form_kit.h"
#include "ui/grid_fill.h"
#include "ui/list_totals_label.h"
#include "ui/seams.h"
#include "ui/stay_detail_panel.h"
#include "ui/windows.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

HistoryWindow::HistoryWindow(QWidget *owner) : QDialog(owner)
{
    setObjectName(u"Form13"_s);
    setWindowTitle(u"历史旅客退房记录"_s);
    createControls();
    createLayout();
    connect(m_list, &FlexGrid::Click, this, &HistoryWindow::showChosen);
    connect(m_printButton, &QPushButton::clicked, this, &HistoryWindow::openSheet);
    m_searchPause.setSingleShot(true);
    m_searchPause.setInterval(SearchPauseMilliseconds);
    connect(m_search, &QLineEdit::textChanged, this, [this] { m_searchPause.start(); });
    connect(m_search, &QLineEdit::returnPressed, this, &HistoryWindow::runSearch);
    connect(&m_searchPause, &QTimer::timeout, this, &HistoryWindow::runSearch);
    loadList();
}

void HistoryWindow::createControls()
{
    m_list = new FlexGrid(this);
    m_list->setObjectName(u"MSFlexGrid2"_s);
    m_detail = new StayDetailPanel({u"Text1"_s, u"应  退  款："_s, hotel::Right::CheckOut}, this);
    m_printButton = ui::makeButton(m_detail, u"Command2"_s, u"打印信息"_s);
    m_detail->addButton(m_printButton);
    m_search = ui::makeTextBox(this, u"SearchBox"_s);
    m_search->setPlaceholderText(u"旅客姓名、证件号码、单位或房间号"_s);
    m_search->setClearButtonEnabled(true);
    m_totals = new ListTotalsLabel(u"记录数"_s, {u"实际金额"_s, u"应收款"_s, u"应退款"_s}, this);
    m_list->setTotalsLabel(m_totals);
}

void HistoryWindow::createLayout()
{
    QGroupBox *frame1 = ui::makeFrame(this, u"Frame1"_s);
    auto *listLayout = new QVBoxLayout(frame1);
    auto *searchRow = new QHBoxLayout;
    QLabel *searchLabel = ui::makeLabel(frame1, u"SearchLabel"_s, u"查找(&F)："_s);
    ui::setBuddy(searchLabel, m_search);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    listLayout->addLayout(searchRow);
    listLayout->addWidget(m_list);
    listLayout->addWidget(m_totals);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1, 1);
    layout->addWidget(m_detail);
    resize(900, 640);
}

void HistoryWindow::loadList()
{
    m_detail->clearRoom();
    showList({});
}

void HistoryWindow::showList(const QString &search)
{
    StayDetailPanel::resetList(m_list);
    m_list->setListFilter(search.isEmpty() ? QString() : u"查找：“"_s + search + u"”"_s);
    // Newest first, read page by page as it scrolls into view. A long list shows its first
    // screenful first; the grid counts it, and shows its totals, once that has been drawn.
    const auto rows = hotel::history::list(hotel::session(), search, m_totals->columns(),
                                           hotel::Listing::Counting::AfterFirstPage);
    grid::fill(m_list, grid::completedStayHeader(), grid::DefaultRowHeight, rows);
    if (!rows.ok()) {
        m_totals->clear(); // the list said why
        return;
    }
    if (rows.value()->counted())
        m_totals->show(rows.value()->count(), rows.value()->sums());
}

void HistoryWindow::runSearch()
{
    m_searchPause.stop();
    showList(m_search->text());
}

void HistoryWindow::showChosen()
{
    m_detail->showSelected(m_list);
}

void HistoryWindow::openSheet()
{
    // Nothing is checked first: with no stay chosen the sheet shows its captions only.
    std::optional<qint64> chosen;
    if (m_list->hasSelectedRecord())
        chosen = m_list->flexModel()->storedRow(m_list->RowSel()).value(0).toLongLong();
    auto *sheet = new CheckOutSheet(this, chosen);
    ui::keepOpenOnEscape(sheet);
    ui::seam().showModal(sheet);
}
