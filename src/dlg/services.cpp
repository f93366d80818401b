#include "dlg/services.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <vector>

namespace {

QMessageBox::Icon IconOf(TMsgIcon icon) {
    switch (icon) {
    case TMsgIcon::Information:
        return QMessageBox::Information;
    case TMsgIcon::Warning:
        return QMessageBox::Warning;
    case TMsgIcon::Error:
        return QMessageBox::Critical;
    case TMsgIcon::Question:
        return QMessageBox::Question;
    case TMsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QWidget* DialogOwner() {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    return owner;
}

int TQtMessageBoxes::Show(const TMessageBoxRequest& request) {
    QMessageBox box(IconOf(request.Icon), QString::fromStdString(request.Caption),
                    QString::fromStdString(request.Text), QMessageBox::NoButton, DialogOwner());
    struct TChoice {
        QMessageBox::StandardButton Button;
        int Answer;
    };
    std::vector<TChoice> choices;
    switch (request.Buttons) {
    case TMsgButtons::Ok:
        choices = {{QMessageBox::Ok, IdOk}};
        break;
    case TMsgButtons::OkCancel:
        choices = {{QMessageBox::Ok, IdOk}, {QMessageBox::Cancel, IdCancel}};
        break;
    case TMsgButtons::YesNo:
        choices = {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}};
        break;
    case TMsgButtons::YesNoCancel:
        choices = {
            {QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}, {QMessageBox::Cancel, IdCancel}};
        break;
    }
    for (size_t i = 0; i < choices.size(); ++i) {
        QPushButton* button = box.addButton(choices[i].Button);
        if (i < request.ButtonTexts.size() && !request.ButtonTexts[i].empty())
            button->setText(QString::fromStdString(request.ButtonTexts[i]));
    }
    box.setDefaultButton(choices.front().Button);
    const bool canEscape = request.Buttons != TMsgButtons::YesNo;
    if (canEscape)
        box.setEscapeButton(request.Buttons == TMsgButtons::Ok ? QMessageBox::Ok
                                                               : QMessageBox::Cancel);
    box.exec();
    auto* clicked = box.clickedButton();
    for (const TChoice& c : choices)
        if (clicked == box.button(c.Button))
            return c.Answer;
    return request.Buttons == TMsgButtons::YesNo ? IdNo
           : request.Buttons == TMsgButtons::Ok  ? IdOk
                                                 : IdCancel;
}

int TQtCursor::ShowWait() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return 1;
}

void TQtCursor::Restore(int) {
    QApplication::restoreOverrideCursor();
}

std::string TQtFileDialogs::Run(TFileDialogRequest& request) {
    QFileDialog dialog(DialogOwner(), QString::fromStdString(request.Title),
                       QString::fromStdString(request.Directory));
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save        ? QFileDialog::AnyFile
                       : request.MustExist ? QFileDialog::ExistingFile
                                           : QFileDialog::AnyFile);
    QStringList filters;
    for (const std::string& f : request.Filters)
        filters << QString::fromStdString(f);
    dialog.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.FilterIndex - 1]);
    if (!request.DefaultSuffix.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.DefaultSuffix));
    // A name typed without a suffix takes that of the type chosen in the
    // list (its first pattern), so choosing "Opus (*.opus)" saves an Opus
    // file; a filter without one keeps the default.
    if (request.Save) {
        const QString fallback = QString::fromStdString(request.DefaultSuffix);
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, fallback](const QString& filter) {
                             static const QRegularExpression first(
                                 QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)[ )]"));
                             const QRegularExpressionMatch m = first.match(filter);
                             dialog.setDefaultSuffix(m.hasMatch() ? m.captured(1) : fallback);
                         });
    }
    if (!request.PromptOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.FileName.empty())
        dialog.selectFile(QString::fromStdString(request.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::string();
    request.FilterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().first().toStdString();
}

void InstallQtServices() {
    static TQtMessageBoxes boxes;
    static TQtCursor cursor;
    static TQtFileDialogs dialogs;
    TMessageBoxService::Install(&boxes);
    TCursorService::Install(&cursor);
    TFileDialogService::Install(&dialogs);
}
