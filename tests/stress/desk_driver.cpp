// One desk of a two-desk race: in each round it opens the check-in window, types a guest, picks
// the round's room from the free-room list and confirms at the same instant as the other desk.
// One line per round: "round <n> taken", "round <n> refused" or "round <n> late" (the room had
// gone from the list before the window opened).
//
//   quillon-desk <program folder> <start, ms since the epoch> <first room key> <rounds> <gap ms>

#include "data/house_location.h"
#include "frontdesk/frontdesk_windows.h"
#include "hotel_file.h"
#include "test_database.h"
#include "window_kit.h"

#include <QApplication>
#include <QDateTime>
#include <QThread>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    stress::quietOffscreenWarnings();
    registerFrontdeskWindows();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 6) {
        std::fprintf(stderr, "usage: quillon-desk <folder> <start ms> <first room key> <rounds> <gap ms>\n");
        return 2;
    }
    TestDatabase::logInEveryRight(HouseLocation{args[1]});
    const qint64 start = args[2].toLongLong();
    const int firstRoom = args[3].toInt();
    const int rounds = args[4].toInt();
    const int gap = args[5].toInt();

    TestSeam seam;
    for (int round = 0; round < rounds; ++round) {
        seam.clear();
        QWidget *w = ui::showWindow(u"Form8"_s);
        kit::set(w, u"Text1"_s, u"第"_s + QString::number(round) + u"位旅客"_s);
        kit::set(w, u"Text2"_s, u"个人"_s);
        kit::set(w, u"Text3"_s, u"身份证"_s);
        kit::set(w, u"Text4"_s, u"110101199001011234"_s);
        kit::set(w, u"Text5"_s, u"1"_s);
        kit::set(w, u"Text6"_s, u"1"_s);
        kit::set(w, u"Text8"_s, u"100"_s);
        FlexGrid *rooms = kit::grid(w);
        const QString key = QString::number(firstRoom + round);
        int row = 0;
        for (int r = 1; r < rooms->Rows() && !row; ++r)
            row = rooms->text(r, 0) == key ? r : 0;
        const char *outcome = "late";
        if (row) {
            rooms->selectRecord(row);
            const qint64 at = start + qint64(round) * gap;
            while (QDateTime::currentMSecsSinceEpoch() < at)
                QThread::usleep(200);
            w->findChild<QPushButton *>(u"Command1"_s)->click();
            const QString said = seam.messages.isEmpty() ? QString() : seam.messages.first().text;
            outcome = said == u"恭喜您，旅客入住成功？"_s ? "taken"
                      : said.startsWith(u"对不起，此房间已经不是空闲房"_s) ||
                              said == u"数据正在另一台前台上使用，请稍等片刻再试一次。"_s
                          ? "refused"
                          : "failed";
        }
        std::printf("round %d %s %s\n", round, outcome,
                    seam.messages.isEmpty() ? "" : seam.messages.first().text.toUtf8().constData());
        std::fflush(stdout);
        for (QWidget *top : QApplication::topLevelWidgets())
            top->close();
        QApplication::processEvents();
    }
    return 0;
}
