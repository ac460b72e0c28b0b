#include "moduleui/CTabCtrlEx.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

CTabCtrlEx::CTabCtrlEx(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    connect(bar_, &QTabBar::tabBarClicked, this, &CTabCtrlEx::OnTabClick);
    // The keyboard changes tabs too (arrow keys on the focused tab bar).
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        if (index != currentTab_) {
            OnTabClick(index);
        }
    });
}

void CTabCtrlEx::AddTab(QWidget* page, const QString& title) {
    titles_.push_back(title);
    pages_.push_back(page);
    page->setParent(this);
    page->hide();
    const QSignalBlocker quiet(bar_);
    bar_->insertTab(static_cast<int>(pages_.size()) - 1, title);
}

QWidget* CTabCtrlEx::page(int index) const {
    return ValidTab(index) ? pages_[index] : nullptr;
}

bool CTabCtrlEx::ValidTab(int index) const {
    return index >= 0 && index < static_cast<int>(pages_.size());
}

void CTabCtrlEx::PlaceAndShow(QWidget* page) {
    page->setGeometry(kPageLeft, kPageTop, width() - kPageWidthLess, height() - kPageHeightLess);
    page->raise();
    page->show();
}

void CTabCtrlEx::SelectTab(int index) {
    currentTab_ = index;
    if (ValidTab(index)) {
        const QSignalBlocker quiet(bar_);
        bar_->setCurrentIndex(index);
        PlaceAndShow(pages_[index]);
    }
}

void CTabCtrlEx::OnTabClick(int index) {
    if (!ValidTab(index)) {
        return;
    }
    {
        const QSignalBlocker quiet(bar_);
        bar_->setCurrentIndex(index);
    }
    currentTab_ = index;
    for (QWidget* page : pages_) {
        page->hide();
    }
    PlaceAndShow(pages_[index]);
    emit pageChosen(pages_[index]);
}

void CTabCtrlEx::RepositionPage() {
    if (ValidTab(currentTab_)) {
        PlaceAndShow(pages_[currentTab_]);
    }
}

void CTabCtrlEx::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), std::min(bar_->sizeHint().height(), kPageTop));
    RepositionPage();
}

void CTabCtrlEx::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
}

void CTabCtrlEx::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, bar_->height() - 1, 0, 0);
    frame.tabBarSize = bar_->size();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}
