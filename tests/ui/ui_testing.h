// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tests share: a catcher of modal message boxes and a real click on a check or option box.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
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

// Runs fn on the modal widget of type T as soon as it opens and is the active window (from inside its own
// event loop), so that an access key typed into it is taken as one even on a busy machine, where the
// window is shown some time before it is activated. A window not activated within two seconds is taken as
// it is.
template <class T, class Fn> void WhenModal(Fn fn) {
    auto* timer = new QTimer;
    auto* shown = new QElapsedTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, shown, fn] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible()) return;
        if (!shown->isValid()) shown->start();
        if (!modal->isActiveWindow() && shown->elapsed() < 2000) return;
        timer->deleteLater();
        timer->stop();
        delete shown;
        fn(modal);
    });
    timer->start();
}

// Waits, for at most five seconds, until the button has been clicked and its click handled (a box it opened
// included): an access key typed for it clicks a moment later, and later still on a busy machine. Made
// before the key is typed.
class ClickOf {
  public:
    explicit ClickOf(QAbstractButton* button) : spy_(button, &QAbstractButton::clicked) {}
    bool wait() {
        return QTest::qWaitFor([this] { return spy_.count() > 0; }, 5000);
    }

  private:
    QSignalSpy spy_;
};

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
        QStringList buttons; // as a person reads them: the access keys' "&" left out
        QString defaultButton;
        QStringList keyed; // as written, with their "&"
    };
    QString press;

    ModalBoxes() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (!box->isVisible()) return;
                QStringList buttons, keyed;
                QAbstractButton* chosen = nullptr;
                for (QAbstractButton* b : box->buttons()) {
                    keyed << b->text();
                    buttons << QString(b->text()).remove(u'&');
                    if (buttons.back() == press) chosen = b;
                }
                seen_.append(
                    {box->windowTitle(), box->text(), box->icon(), box->parentWidget(), buttons,
                     box->defaultButton() ? QString(box->defaultButton()->text()).remove(u'&') : QString(),
                     keyed});
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
    // How many were shown since then.
    qsizetype count() const { return seen_.size(); }

  private:
    QTimer timer_;
    QList<Box> seen_;
};

} // namespace pamerol::testing
