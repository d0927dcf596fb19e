// Short-lived processes for what cannot be measured inside the benchmark process: start-up
// of a fresh program, and the peak memory of filling the history list.
//
//   quillon-bench-probe empty-start            an empty Qt program showing one window
//   quillon-bench-probe empty-click            the same, then a click that shows another window
//   quillon-bench-probe login DIR              the program's start-up: login window, then log in
//   quillon-bench-probe peak-history DIR       peak memory of opening the history list
//
// Each prints "key value" lines; times are CLOCK_MONOTONIC nanoseconds, so the parent can
// measure from just before it started the process.
#include "bench_data.h"
#include "bench_support.h"

#include "data/conversions.h"
#include "data/house_location.h"
#include "hotel/session.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "ui/flex_grid.h"
#include "ui/grid_fill.h"
#include "ui/windows.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

void say(const char *key, long long value)
{
    std::printf("%s %lld\n", key, value);
    std::fflush(stdout);
}

// Calls back once, right after the first paint of a window of the given class has finished.
class PaintWatch : public QObject
{
public:
    PaintWatch(const char *className, std::function<void()> then)
        : m_class(className), m_then(std::move(then))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (!m_fired && e->type() == QEvent::Paint && o->isWidgetType()) {
            QWidget *top = static_cast<QWidget *>(o)->window();
            if (qstrcmp(top->metaObject()->className(), m_class) == 0) {
                m_fired = true;
                // After the whole window has been painted, not at its first widget.
                QTimer::singleShot(0, qApp, m_then);
            }
        }
        return false;
    }

private:
    const char *m_class;
    std::function<void()> m_then;
    bool m_fired = false;
};

void setUpLikeTheProgram(QApplication &app, QTranslator &translator)
{
    Q_UNUSED(app);
    if (translator.load(conv::locale(), u"qtbase"_s, u"_"_s,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    QLocale::setDefault(conv::locale());
}

int emptyStart(QApplication &app, bool thenClick)
{
    auto *first = new QWidget;
    first->resize(400, 300);
    auto *button = new QPushButton(u"OK"_s, first);
    QWidget *second = nullptr;
    PaintWatch shownSecond("QMainWindow", [&] {
        say("click_shown_ns", monotonicNs());
        app.quit();
    });
    QObject::connect(button, &QPushButton::clicked, [&] {
        first->close();
        second = new QMainWindow;
        second->resize(800, 600);
        second->show();
    });
    PaintWatch shownFirst("QWidget", [&] {
        say("window_shown_ns", monotonicNs());
        if (!thenClick) {
            app.quit();
            return;
        }
        say("click_ns", monotonicNs());
        button->click();
    });
    first->show();
    const int rc = app.exec();
    delete second;
    delete first;
    return rc;
}

int login(QApplication &app, const QString &dir)
{
    QTranslator translator;
    setUpLikeTheProgram(app, translator);
    registerAllWindows();
    auto *form1 = new LoginWindow(HouseLocation{dir});
    form1->setAttribute(Qt::WA_DeleteOnClose);
    PaintWatch mainShown(MainWindow::staticMetaObject.className(), [&] {
        say("click_shown_ns", monotonicNs());
        app.quit();
    });
    PaintWatch loginShown(LoginWindow::staticMetaObject.className(), [&] {
        say("window_shown_ns", monotonicNs());
        form1->findChild<QLineEdit *>(u"Text1"_s)->setText(u"admin"_s);
        form1->findChild<QLineEdit *>(u"Text2"_s)->setText(u"admin"_s);
        say("click_ns", monotonicNs());
        form1->findChild<QPushButton *>(u"Command1"_s)->click();
    });
    form1->show();
    return app.exec();
}

int peakHistory(QApplication &app, const QString &dir)
{
    QTranslator translator;
    setUpLikeTheProgram(app, translator);
    const HouseLocation house{dir};
    // A desk logged in with every right, on this house.
    if (!hotel::session() || hotel::session()->location() != house)
        hotel::Session::setCurrent(std::make_shared<hotel::Session>(house, u"admin"_s, u"Z:abcdef"_s));
    registerAllWindows();
    BenchSeam seam;
    // Warm up everything a window needs, so the figure is the list and not the toolkit.
    {
        FlexGrid warm;
        grid::reset(&warm, grid::completedStayHeader());
        warm.show();
        settle();
    }
    settle();
    resetPeakRss();
    const long long before = currentRss();
    const long long openedAt = monotonicNs();
    QWidget *window = ui::showWindow(u"Form13"_s);
    settle();
    FlexGrid *list = window ? window->findChild<FlexGrid *>(u"MSFlexGrid2"_s) : nullptr;
    if (!list) {
        std::fputs("Form13 or its MSFlexGrid2 is missing\n", stderr);
        return 1;
    }
    say("first_open_ns", monotonicNs() - openedAt);
    const long long peak = peakRss();
    const long long after = currentRss();
    say("rss_before", before);
    say("rss_peak", peak);
    say("rss_after", after);
    say("grid_rows", list->Rows() - 1);
    bare::Database db(dir + u"/innkeep.mdb"_s);
    const bare::ReadResult rows = db.readAsText("select * from 旅客退房 order by 退房ID desc");
    say("rows", rows.rows);
    say("text_bytes", rows.textBytes);
    app.processEvents();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    quietPlatformMessages();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1);
    if (mode == u"empty-start"_s)
        return emptyStart(app, false);
    if (mode == u"empty-click"_s)
        return emptyStart(app, true);
    if (mode == u"login"_s && args.size() > 2)
        return login(app, args.at(2));
    if (mode == u"peak-history"_s && args.size() > 2)
        return peakHistory(app, args.at(2));
    std::fputs("usage: quillon-bench-probe empty-start|empty-click|login DIR|peak-history DIR\n", stderr);
    return 2;
}
