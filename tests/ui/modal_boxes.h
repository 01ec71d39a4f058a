// Closes every modal message box as soon as it opens and keeps what it showed, so that a test can check
// the boxes it expects and fail on any other.
#pragma once

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QTimer>

namespace pamerol::testing {

class ModalBoxes {
  public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
        QWidget* parent;
    };

    ModalBoxes() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (!box->isVisible()) return;
                seen_.append({box->windowTitle(), box->text(), box->icon(), box->parentWidget()});
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
