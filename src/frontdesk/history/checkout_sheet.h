#pragma once

#include <QDialog>
#include <QRect>
#include <optional>

class FlexGrid;
class QFrame;
class QLabel;
class QPainter;
class QPushButton;

// "打印退房信息": one completed stay laid out as a printable page, opened by the history window
// that owns it for the stay chosen there. Its button prints the page (without the button) on the
// default printer, or, when that cannot be done, offers to save it as a PDF file.
class CheckOutSheet : public QDialog
{
    Q_OBJECT
public:
    // `completedStay` is the key of the stay chosen in the history; none shows the captions only.
    CheckOutSheet(QWidget *owner, std::optional<qint64> completedStay);

    // Paints the sheet as the window shows it, without the button, scaled into `area` (device
    // units) at no more than its natural size of `dpi` device units an inch.
    void paintPage(QPainter &painter, const QRectF &area, double dpi) const;

    // The client area in twips.
    static constexpr int WidthTwips = 9135;
    static constexpr int HeightTwips = 4590;

private:
    void createControls();
    void showStay(std::optional<qint64> completedStay);

private Q_SLOTS:
    void printSheet();

private:
    void paintGrid(QPainter &painter) const;
    QRect toPixels(const QRect &twips) const;

    QLabel *m_labels[9] = {}; // Label1 … Label9
    QFrame *m_lines[5] = {};  // Line1 … Line5
    QFrame *m_border = nullptr;
    QFrame *m_particularsBox = nullptr;
    FlexGrid *m_roomGrid = nullptr;
    QPushButton *m_printButton = nullptr;
    bool m_stayShown = false; // a completed stay was found to show
};
