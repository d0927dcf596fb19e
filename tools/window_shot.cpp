// Opens one window of Quillon on a database directory, optionally fills boxes, picks grid rows
// and presses buttons, then saves a picture of the window. For looking at windows as the desk
// staff will, on a real (or virtual) display:
//   xvfb-run -a build/tools/quillon-shot Form12 out.png --db build/app
//       --set Text1=101 --click Command1 --click Command2   (all on one line)
// FORM may be Form1 (the login; after "--click Command1" the main window is taken) or Form2 (the
// main window). "quillon-shot --screen OUT.png" saves the whole display instead (scripts/screenshot.sh).
// "--print GRID=OUT.pdf" prints that list as a desk without a printer does: to a PDF file.
// "--key Right" presses a key (as QKeySequence spells it) in the control holding the focus.
#include "data/house_location.h"
#include "hotel/session.h"
#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"
#include "ui/flex_grid.h"
#include "ui/grid_export.h"
#include "ui/seams.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QTextEdit>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Messages are printed instead of waiting for a click; Yes/No questions are answered Yes.
class ShotSeam : public ui::Seam
{
public:
    ui::Answer message(QWidget *, ui::MessageKind kind, const QString &text, const QString &) override
    {
        std::printf("message: %s\n", qPrintable(text));
        return kind == ui::MessageKind::Question ? ui::Answer::Yes : ui::Answer::Ok;
    }
    void showModal(QWidget *window) override
    {
        window->show();
        last = window;
    }
    // With a PDF file named, there is no printer and the save dialog answers with that file.
    bool hasPrinter() override { return pdfPath.isEmpty() && ui::Seam::hasPrinter(); }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        return pdfPath.isEmpty() ? ui::Seam::saveFileName(parent, caption, dir, filter) : pdfPath;
    }
    QPointer<QWidget> last;
    QString pdfPath;
};

// The window in front: the last one shown through the seam, else the one opened, else the
// main window a login has just opened.
QWidget *front(const ShotSeam &seam, QWidget *opened)
{
    if (seam.last && seam.last->isVisible())
        return seam.last;
    if (opened && opened->isVisible())
        return opened;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->objectName() == u"Form2"_s)
            return w;
    }
    return opened;
}

void settle()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 400)
        QApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == u"--screen"_s) {
        QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen || !screen->grabWindow(0).save(args[2])) {
            std::fprintf(stderr, "could not save the screen to %s\n", qPrintable(args[2]));
            return 1;
        }
        return 0;
    }
    if (args.size() < 3) {
        std::fputs("usage: quillon-shot FORM OUT.png [--db DIR] [--set NAME=TEXT] [--row GRID=N] [--click "
                   "NAME] [--key KEY] [--print GRID=OUT.pdf]...\n",
                   stderr);
        return 2;
    }
    ShotSeam seam;
    ui::setSeam(&seam);
    // The house beside the program, as a desk there would find it, unless --db names its folder.
    HouseLocation house = houseLocationFor(QApplication::applicationDirPath());
    for (int i = 3; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--db"_s)
            house = HouseLocation{args[i + 1]};
    }
    // The windows opened without a login act for an operator with every right. The session's
    // connection goes before the application does.
    hotel::Session::setCurrent(std::make_shared<hotel::Session>(house, u"admin"_s, u"Z:abcdef"_s));
    const auto endSession = qScopeGuard([] { hotel::Session::setCurrent(nullptr); });
    registerAllWindows();
    MainWindow main;
    ui::setMainWindow(&main);
    QPointer<QWidget> window;
    if (args[1] == u"Form1"_s) {
        auto *login = new LoginWindow(house);
        login->setAttribute(Qt::WA_DeleteOnClose);
        login->show();
        window = login;
    } else if (args[1] == u"Form2"_s) {
        // The main window itself, as the desk sees it after the login.
        main.setOperatorName(u"admin"_s);
        main.resize(1100, 720);
        main.show();
        main.activateWindow(); // the keyboard's place shows only in an active window
        window = &main;
    } else {
        window = ui::showWindow(args[1], &main);
    }
    if (!window) {
        std::fprintf(stderr, "no window named %s\n", qPrintable(args[1]));
        return 1;
    }
    settle();
    for (int i = 3; i + 1 < args.size(); i += 2) {
        QWidget *current = front(seam, window);
        const QString value = args[i + 1];
        if (args[i] == u"--set"_s) {
            const QString name = value.section(u'=', 0, 0);
            const QString text = value.section(u'=', 1);
            if (auto *e = current->findChild<QLineEdit *>(name))
                e->setText(text);
            else if (auto *t = current->findChild<QTextEdit *>(name))
                t->setPlainText(text);
            else if (auto *c = current->findChild<QComboBox *>(name))
                c->setCurrentText(text);
        } else if (args[i] == u"--row"_s) {
            if (auto *g = current->findChild<FlexGrid *>(value.section(u'=', 0, 0)))
                g->selectRecord(value.section(u'=', 1).toInt());
        } else if (args[i] == u"--print"_s) {
            if (auto *g = current->findChild<FlexGrid *>(value.section(u'=', 0, 0))) {
                seam.pdfPath = value.section(u'=', 1);
                grid_export::print(g);
                seam.pdfPath.clear();
            }
        } else if (args[i] == u"--key"_s) {
            const QKeyCombination key = QKeySequence(value)[0];
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : current;
            QKeyEvent press(QEvent::KeyPress, int(key.key()), key.keyboardModifiers());
            QKeyEvent release(QEvent::KeyRelease, int(key.key()), key.keyboardModifiers());
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        } else if (args[i] == u"--click"_s) {
            if (auto *b = current->findChild<QAbstractButton *>(value))
                b->click();
        }
        settle();
    }
    QWidget *shown = front(seam, window);
    if (!shown || !shown->grab().save(args[2])) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
