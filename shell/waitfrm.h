#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace corvane {

/// The progress window of a long operation run on the main thread. While shown it disables its
/// owner; the user cannot close it (only the operation can, by setting bIntClose first), and its
/// stop button asks the operation to end by setting bTerm.
class TWaitFrm : public QDialog
{
    Q_OBJECT

public:
    explicit TWaitFrm(QWidget* owner);
    ~TWaitFrm() override;

    /// Sets the operation text; CR LF line ends become plain line ends.
    void SetText(const QString& text);

    QLabel* Label1 = nullptr;
    QProgressBar* PBar = nullptr;
    QPushButton* StopBtn = nullptr;
    bool bTerm = false;     // the user asked to stop
    bool bIntClose = false; // the operation allows the window to close

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QPointer<QWidget> m_Owner;
};

} // namespace corvane
