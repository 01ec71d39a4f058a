// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tests share: a catcher of modal message boxes and a real click on a check or option box.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

namespace pamerol::testing {

// Clicks where a check or option box reacts (its mark and caption), not in the empty stretch beside it.
inline void ClickBox(QAbstractButton* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QStyle::SubElement hit =
        qobject_cast<QRadioButton*>(box) ? QStyle::SE_RadioButtonClickRect : QStyle::SE_CheckBoxClickRect;
    QTest::mouseClick(box, Qt::LeftButton, {}, box->style()->subElementRect(hit, &option, box).center());
}

// Runs fn on the modal widget of type T as soon as it opens (from inside its own event loop).
template <class T, class Fn> void WhenModal(Fn fn) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget()); modal && modal->isVisible()) {
            timer->deleteLater();
            timer->stop();
            fn(modal);
        }
    });
    timer->start();
}

// Closes every modal message box as soon as it opens and keeps what it showed, so that a test can check
// the boxes it expects and fail on any other. A box is closed with its OK, or with the button captioned
// `press` when it has one.
class ModalBoxes {
  public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QWidget* parent;
        QStringList buttons;
        QString defaultButton;
    };
    QString press;

    ModalBoxes() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (!box->isVisible()) return;
                QStringList buttons;
                QAbstractButton* chosen = nullptr;
                for (QAbstractButton* b : box->buttons()) {
                    buttons << b->text();
                    if (b->text() == press) chosen = b;
                }
                seen_.append({box->windowTitle(), box->text(), box->icon(), box->parentWidget(), buttons,
                              box->defaultButton() ? box->defaultButton()->text() : QString()});
                if (chosen)
                    chosen->click();
                else
                    box->done(QMessageBox::Ok);
            }
        });
        timer_.start();
    }

    // The boxes shown since the last call.
    QList<Box> take() { return std::exchange(seen_, {}); }

  private:
    QTimer timer_;
    QList<Box> seen_;
};

} // namespace pamerol::testing
