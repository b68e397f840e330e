#pragma once

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class PlayerDb;
class QPushButton;
class SocialServices;
class TranslationsManager;

/// The settings tab: language, the four game switches, the password and the
/// player picture. Every change takes effect at once; the switches are kept
/// under "game/", the language by the translations manager, and the password
/// goes to the server through the main window; a change the server leaves
/// unanswered past the time limit unlocks the fields again, with a word.
class PreferencesWindow : public QWidget
{
    Q_OBJECT

public:
    /// How long a password change may wait for its answer.
    static constexpr int answerTimeLimitMs = 20000;

    /// Builds the page from the stored settings. `social` may be null (no
    /// player picture).
    PreferencesWindow(TranslationsManager* translations, SocialServices* social, QWidget* parent);
    ~PreferencesWindow() override;

    /// The own player id whose picture the page shows; -1 for none.
    void setOwnPlayerId(qint32 playerId);
    /// The player directory that uploads a chosen picture and reports the
    /// outcome to the avatar chooser; the avatar button works only with one.
    void setPlayerDb(PlayerDb* playerDb);
    QPushButton* avatarButton() const { return setAvatarButton; }
    void setAnswerTimeLimit(int ms) { passwordTimer.setInterval(ms); }

    QCheckBox* autoPassBox() const { return autoPassCheckBox; }
    QCheckBox* autoPopdownBox() const { return autoPopdownScoreDialog; }
    QCheckBox* soundBox() const { return inGameSoundCheckBox; }
    QCheckBox* animationsBox() const { return animationsCheckBox; }
    QLineEdit* newPasswordField() const { return newPassword; }
    QLineEdit* retypePasswordField() const { return retypePassword; }
    QPushButton* changePasswordButton() const { return changePasswordBtn; }
    QComboBox* languageList() const { return languageSelection; }
    QLabel* avatar() const { return avatarLabel; }
    QComboBox* tileBackList() const { return tileBlankSelection; }
    QComboBox* tileFaceList() const { return tileFaceSelection; }
    /// The previews: a face-up bamboo 1, a tile back, another player's hidden tile.
    QList<QLabel*> tilePreviews() const { return {tileFront, tileBack, hiddenTileRight}; }
    /// Names the files of the chosen tiles that cannot be drawn; hidden when all can.
    QLabel* tileRefusal() const { return tileRefusalLabel; }

Q_SIGNALS:
    /// The user chose a new player picture.
    void uploadPlayerPicture(const QImage& pixmap);
    /// The user asked for a new password (both fields agreed).
    void changePassword(const QString& password);

public Q_SLOTS:
    void onChangePasswordOk();
    void onChangePasswordFailed(const QString& error);
    void onPlayerPictureUpdate(qint32 pid);
    void on_autoPassCheckBox_stateChanged(int newState);
    void on_autoPopdownScoreDialog_stateChanged(int newState);
    void on_setAvatarButton_clicked();
    void on_inGameSoundCheckBox_stateChanged(int newState);
    void on_animationsCheckBox_stateChanged(int newState);
    void on_changePassword_clicked();
    void onLanguageSelectionCurrentIndexChanged(int index);
    void onTileBlankSelectionIndexChanged(int index);
    void onTileFaceSelectionIndexChanged(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setupUi();
    void retranslateUi();
    void setPasswordFieldsLocked(bool locked);
    void onPasswordTimeout();
    /// Fills a tile combo with the names and selects the stored index (0
    /// when it is out of range), without writing anything.
    static int fillTileChoices(QComboBox* combo, const QStringList& names, const char* key);
    void paintTilePreviews();

    TranslationsManager* translations;
    SocialServices* social;
    PlayerDb* playerDb = nullptr;
    qint32 ownPlayerId = -1;
    QTimer passwordTimer;

    QLabel* label_5 = nullptr;
    QGroupBox* groupBox_4 = nullptr;
    QComboBox* languageSelection = nullptr;
    QGroupBox* groupBox = nullptr;
    QCheckBox* autoPassCheckBox = nullptr;
    QCheckBox* autoPopdownScoreDialog = nullptr;
    QCheckBox* inGameSoundCheckBox = nullptr;
    QCheckBox* animationsCheckBox = nullptr;
    QGroupBox* groupBox_3 = nullptr;
    QLabel* label_3 = nullptr;
    QLineEdit* newPassword = nullptr;
    QLabel* label_4 = nullptr;
    QLineEdit* retypePassword = nullptr;
    QPushButton* changePasswordBtn = nullptr;
    QGroupBox* groupBox_2 = nullptr;
    QLabel* avatarLabel = nullptr;
    QPushButton* setAvatarButton = nullptr;
    QGroupBox* tileGraphics = nullptr;
    QLabel* tileFront = nullptr;
    QLabel* tileBack = nullptr;
    QLabel* hiddenTileRight = nullptr;
    QLabel* label_6 = nullptr;
    QComboBox* tileFaceSelection = nullptr;
    QLabel* label = nullptr;
    QComboBox* tileBlankSelection = nullptr;
    QLabel* tileRefusalLabel = nullptr;
};
