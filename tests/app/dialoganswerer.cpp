#include "dialoganswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>

DialogAnswerer::DialogAnswerer()
{
    connect(&poll, &QTimer::timeout, this, &DialogAnswerer::answerOpenDialog);
    poll.start(10);
}

void DialogAnswerer::answerOpenDialog()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    shown.append({modal->windowTitle(), QString()});
    if (whileShown)
        whileShown();

    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        shown.last().text = box->text();
        QAbstractButton* button = box->button(questionAnswer);
        if (!button)
            button = box->button(QMessageBox::Ok);
        if (button)
            button->click();
        else
            box->reject();
    } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
        if (folderChoice.isEmpty()) {
            chooser->reject();
        } else {
            chooser->setDirectory(folderChoice);
            static_cast<QDialog*>(chooser)->accept();
        }
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    }
}
