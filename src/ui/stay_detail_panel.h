#pragma once

#include "hotel/session.h"

#include <QGroupBox>
#include <QString>
#include <QVariantList>
#include <array>

class FlexGrid;
class QGridLayout;
class QLabel;
class QLineEdit;

// The "旅客信息" frame shared by the history and both statistics windows: the particulars of
// one completed stay (Text2 … Text16), its room number over the room key (Text9), and its
// room's row in a grid of its own. The windows differ only in the two options.
class StayDetailPanel : public QGroupBox
{
    Q_OBJECT
public:
    struct Options {
        QString roomNumberBox;                       // "Text1" or "Text17"
        QString refundCaption;                       // Label14: "应  退  款：" or "应退款："
        hotel::Right right = hotel::Right::CheckOut; // the window's menu group
    };

    StayDetailPanel(const Options &options, QWidget *parent);

    // Room grid back to its header only.
    void clearRoom();
    // The selected row of a completed-stay list into the boxes and its room into the room
    // grid; a step that fails is skipped.
    void showSelected(const FlexGrid *list);

    QLineEdit *roomNumberBox() const { return m_roomNumber; }
    FlexGrid *roomGrid() const { return m_roomGrid; }
    // Puts a window's own button at the right under the particulars.
    void addButton(QWidget *button);

    // The completed-stay list at its header only.
    static void resetList(FlexGrid *list);

private:
    void createControls(const Options &options);
    void createLayout();
    void showRoom();

    // By column of the completed stay after its key: Label1 … Label15 and Text2 … Text16.
    std::array<QLabel *, 15> m_labels{};
    std::array<QLineEdit *, 15> m_boxes{};
    QLineEdit *m_roomNumber = nullptr;
    FlexGrid *m_roomGrid = nullptr;
    QGridLayout *m_layout = nullptr;
    hotel::Right m_right = hotel::Right::CheckOut;
};
