#pragma once

#include "control/app/ControlSettings.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "control/manager/RecorderActions.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class FwUpdDlg;
class QBtnToolbar;
class QClipsBar;
class QConfigSelToolbar;
class QConfigToolbar;
class QLabel;
class QPlaybackBar;
class QPlaybackSlider;
class QSelToolbar;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;
class QWarningLabel;
class RecLabel;

struct MainWindowOptions {
    ControlSettings settings;
    double scale = 1.0;
    bool developerMode = false;
};

// The control program's one panel: the list of recorders found, or the view of the opened
// ones (status, record and playback). Turns the user's presses into the manager's commands and
// the recorders' status into what is shown.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    enum MessageFlags { MsgInfo = 1, MsgWarning = 2, MsgError = 4, MsgQuestion = 8, MsgYesNoCancel = 16 };
    enum View { RecordView = 0, PlaybackView = 1 };
    static constexpr int MaxLabels = QMultiRecorderMgr::MaxLinks;
    static constexpr int BlinkMs = 250;

    explicit MainWindow(const MainWindowOptions& options, QWidget* parent = nullptr);
    // Saves the settings (with the last playback speed) and closes the links, telling the
    // recorders first.
    ~MainWindow() override;

    QMultiRecorderMgr& manager() { return manager_; }
    const ControlSettings& settings() const { return settings_; }

    // One box for every question, warning and error; "%1" in text takes detail. Returns the
    // button pressed (Yes, No, Cancel or Ok).
    int showMessage(const QString& text, int flags, const QString& detail = {});
    // Replaces the box, for tests: gets the text and flags, returns the button.
    void setMessageHandler(std::function<int(const QString&, int)> handler) { messageHandler_ = std::move(handler); }

    // What is on screen, for tests.
    QList<RecLabel*> recorderLabels() const { return labels_; }
    bool isRecorderViewShown() const;
    bool isRecording() const { return recording_; }
    int view() const { return view_; }
    QString statusText() const;
    QString recorderNameText() const;
    QString warningText() const;
    bool previousNextVisible() const;
    QClipsBar* clipsBar() const { return clipsBar_; }
    QConfigToolbar* configToolbar() const { return configToolbar_; }
    QPlaybackBar* playbackBar() const { return playbackBar_; }
    // Only in developer mode.
    FwUpdDlg* firmwareDialog() const { return firmwareDialog_; }

public slots:
    void ShowMainWindow();
    void OnGeneralConfiguration();
    void OnEnumerateDevices();
    void OnEthernetFound();
    void OnBluetoothFound();
    void OnOpenDevices();
    void OnCloseDevices();
    void OnChangeIPAddress(uint address);
    void OnChangedConnectionStatus(int index, const QString& text);
    void OnChangedRecorderStatus(int index, int changeMask);
    void OnRecorderBasicInfo();
    void OnFirmwareUpdate();
    void OnCameraRecorderParameter(int kind, double value);
    void OnCameraSelectRoi(int x, int y);
    void OnPaintParameter(int group, int channel, int value);
    void OnSelectClip(int index);
    void OnDeleteClip(int index);
    void OnDeleteAllClips();
    void OnPlaybackSliderChanged(int value);
    void OnPlaybackEvent(int event);
    void OnPlaybackSpeed(int value);
    void OnRecordClip();

    void selectPreviousRecorder();
    void selectNextRecorder();

private:
    void buildListView();
    void buildRecorderView();
    QWidget* buildTitleRow();
    int scaled(int size) const;

    void showWarning(const QString& text);
    void removeWarning();
    void setRecordState(bool on);
    void showRecorderList();
    void showRecorderView();
    void selectView(int view);
    void showCurrentRecorder();
    void showRecorderName();
    void showStatus(int changeMask);
    void showClipList();
    // The selected clip's details and its frames on the playback slider.
    void showSelectedClip();
    // The configuration toolbar back to unfilled, on its first page.
    void resetConfiguration();
    void onOpenTimedOut(const QList<int>& silent);
    void clearLabels();
    // False (said once) when the list is full.
    bool roomForLabel();
    void addLabel(RecLabel* label);

    MainWindowOptions options_;
    ControlSettings settings_;
    QMultiRecorderMgr manager_;
    RecorderActions actions_;
    std::function<int(const QString&, int)> messageHandler_;

    QStackedWidget* pages_ = nullptr;
    QWidget* listPage_ = nullptr;
    QVBoxLayout* labelColumn_ = nullptr;
    QList<RecLabel*> labels_;
    bool tooManyReported_ = false;

    QWidget* recorderPage_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QSelToolbar* selToolbar_ = nullptr;
    QStackedWidget* viewPages_ = nullptr;
    QConfigSelToolbar* configSelToolbar_ = nullptr;
    QConfigToolbar* configToolbar_ = nullptr;
    QClipsBar* clipsBar_ = nullptr;
    QPlaybackSlider* playbackSlider_ = nullptr;
    QPlaybackBar* playbackBar_ = nullptr;
    QBtnToolbar* buttons_ = nullptr;
    FwUpdDlg* firmwareDialog_ = nullptr;

    QPointer<QWarningLabel> warning_;
    QTimer blinkTimer_;
    QTimer calibrationTimer_;
    bool recording_ = false;
    int view_ = RecordView;
};
