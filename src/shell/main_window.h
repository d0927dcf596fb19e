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

    // The operator's name as the status bar's last panel shows it.
    void setOperatorName(const QString &name);
    QString operatorName() const;

    // Disables each menu group whose letter the rights text lacks, with the toolbar buttons of
    // its windows; NULL disables none. The window made applies the current session's rights.
    void applyRights(const QVariant &rights);
    void applyRights(const std::function<bool(hotel::Right)> &may);

    // Back to the login: the session ends and this window closes.
    void signOut();

private Q_SLOTS:
    void startCalculator();
    void startTextEditor();
    void openHomePage();

private:
    void showCompanyName();
    void createMenus();
    void createToolbar();
    void createStatusBar();
    void openWindow(const QString &formName);

    QList<QMenu *> m_menuGroups;
    QToolBar *m_toolbar = nullptr;
    QList<QAction *> m_toolButtons; // in the order of toolButtons()
    QLabel *m_operatorPanel = nullptr;
};
