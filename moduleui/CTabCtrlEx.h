#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QTabBar;

// A tab control that shows one of its pages over its display area: each page is a child
// widget placed 3 pixels right of and 25 below the control's top-left corner, 7 narrower and
// 30 lower than the control, so the area is that of the classic tab control.
class CTabCtrlEx : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPageLeft = 3;
    static constexpr int kPageTop = 25;
    static constexpr int kPageWidthLess = 7;
    static constexpr int kPageHeightLess = 30;

    explicit CTabCtrlEx(QWidget* parent = nullptr);

    void AddTab(QWidget* page, const QString& title);
    // Sets the current tab also when index is out of range; then nothing is shown.
    void SelectTab(int index);
    int currentTab() const { return currentTab_; }
    QTabBar* tabBar() const { return bar_; }
    QWidget* page(int index) const;

signals:
    // A tab was chosen by the user and its page is shown.
    void pageChosen(QWidget* page);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnTabClick(int index);
    void RepositionPage();
    bool ValidTab(int index) const;
    void PlaceAndShow(QWidget* page);

    std::vector<QString> titles_;
    std::vector<QWidget*> pages_;
    int currentTab_ = -1;
    QTabBar* bar_;
};
