// Opens one window of Quillon on a database directory, optionally fills boxes, picks grid rows
// and presses buttons, then saves a picture of the window. For looking at windows as the desk
// staff will, on a real (or virtual) display:
//   xvfb-run -a build/tools/quillon-shot Form12 out.png --db build/app
//       --set Text1=101 --click Command1 --click Command2   (all on one line)
#include "data/module1.h"
#include "ui/flex_grid.h"
#include "ui/seams.h"
#include "ui/windows.h"
#include "shell/main_window.h"
#include "shell/shell_windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextEdit>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Messages are printed instead of waiting for a click; Yes/No questions are answered Yes.
class ShotSeam : public ui::Seam
{
public:
    int message(QWidget *, const QString &text, int style, const QString &) override
    {
        std::printf("message: %s\n", qPrintable(text));
        return (style & ui::vbYesNo) ? ui::vbYes : ui::vbOK;
    }
    void showModal(QWidget *window) override
    {
        window->show();
        last = window;
    }
    QWidget *last = nullptr;
};

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
    if (args.size() < 3) {
        std::fputs("usage: quillon-shot FORM OUT.png [--db DIR] [--set NAME=TEXT] [--row GRID=N] [--click "
                   "NAME]...\n",
                   stderr);
        return 2;
    }
    ShotSeam seam;
    ui::setSeam(&seam);
    Module1::DbFileName = u"innkeep.mdb"_s;
    Module1::DbPassword = u"58316094"_s;
    for (int i = 3; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--db"_s)
            Module1::setProgramDirectory(args[i + 1]);
    }
    registerAllWindows();
    Form2 main;
    // "Form2" is the main window itself, as the desk sees it after the login.
    QWidget *window = args[1] == u"Form2"_s ? static_cast<QWidget *>(&main) : ui::showWindow(args[1], &main);
    if (window == &main) {
        main.StatusBar1_SetPanelText(3, u"admin"_s);
        main.resize(1100, 720);
        main.show();
    }
    if (!window) {
        std::fprintf(stderr, "no window named %s\n", qPrintable(args[1]));
        return 1;
    }
    settle();
    for (int i = 3; i + 1 < args.size(); i += 2) {
        QWidget *current = seam.last ? seam.last : window;
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
        } else if (args[i] == u"--click"_s) {
            if (auto *b = current->findChild<QAbstractButton *>(value))
                b->click();
        }
        settle();
    }
    QWidget *shown = seam.last ? seam.last : window;
    if (!shown->grab().save(args[2])) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
