#pragma once

#include "hotel/session.h"

#include <QMainWindow>
#include <QVariant>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QToolBar;

// The frame after the login: title from the company row, every menu, the toolbar, the status bar.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    static QString designTitle();

    // 1-based, like the status bar's panels.
    void StatusBar1_SetPanelText(int panel, const QString &text);
    QString StatusBar1_PanelText(int panel) const;

    // Disables each menu group whose letter the rights text lacks, with the toolbar buttons of
    // its windows; NULL disables none. The window made applies the current session's rights.
    void applyRights(const QVariant &rights);
    void applyRights(const std::function<bool(hotel::Right)> &may);

    void Toolbar1_ButtonClick(int index);
    void m_a_9_Click();
    // Back to the login: the session ends and this window closes.
    void signOut();
    void m_f_1_Click();
    void m_f_3_Click();
    void m_f_5_Click();

private:
    void Form_Load();
    void createMenus();
    void createToolbar();
    void createStatusBar();
    void openForm(const QString &formName);

    QList<QMenu *> m_groups;
    QToolBar *m_toolbar1 = nullptr;
    QList<QAction *> m_buttons; // Toolbar1's, by index - 1
    QList<QLabel *> m_panels;
};
