#ifndef DIALOGANSWERER_H
#define DIALOGANSWERER_H

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Stands in for the user in front of modal dialogs: answers every message box
// (questions with the chosen button, others with Ok) and every folder chooser
// (with the chosen folder, or Cancel), and records what it was shown.
class DialogAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Shown
    {
        QString title;
        QString text;
    };

    DialogAnswerer();

    void answerQuestionsWith(QMessageBox::StandardButton answer) { questionAnswer = answer; }
    // An empty folder cancels the chooser.
    void chooseFolder(const QString& folder) { folderChoice = folder; }
    // Called while a dialog is open, before it is answered.
    std::function<void()> whileShown;

    QList<Shown> shown;

private slots:
    void answerOpenDialog();

private:
    QTimer poll;
    QMessageBox::StandardButton questionAnswer = QMessageBox::No;
    QString folderChoice;
};

#endif
