#pragma once

#include "AnswerDeadline.h"

#include <QTime>
#include <QWidget>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

class ConnectionManager;
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
/// goes to the server through the password sender; a change the server
/// leaves unanswered past the time limit unlocks the fields again, with a
/// word, and an answer that comes after it is reported for that change (its
/// time), never taken for a newer one.
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
    void setAnswerTimeLimit(int ms) { passwordDeadline.setLimit(ms); }
    /// Sends a new password and returns the number its answer will carry;
    /// the password button works only with one.
    void setPasswordSender(std::function<qint32(const QString&)> sender) { passwordSender = std::move(sender); }
    /// The connection whose stream the time limit watches (see AnswerDeadline).
    void setConnection(const ConnectionManager* connection) { passwordDeadline.setConnection(connection); }

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
    /// Says that changes will not be kept; shown while the settings cannot be written.
    QLabel* unsavedNotice() const { return unsavedLabel; }

Q_SIGNALS:
    /// The user chose a new player picture.
    void uploadPlayerPicture(const QImage& pixmap);

public Q_SLOTS:
    /// The server answered the password change number `seq`.
    void onChangePasswordOk(qint32 seq);
    void onChangePasswordFailed(qint32 seq, const QString& error);
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
    AnswerDeadline passwordDeadline{answerTimeLimitMs};
    std::function<qint32(const QString&)> passwordSender;

    /// A password change sent: its number and when the player asked for it.
    struct PasswordChange
    {
        qint32 seq;
        QTime askedAt;
    };
    /// The change the locked fields wait for.
    std::optional<PasswordChange> pendingChange;
    /// Changes the player was told had got no answer, oldest first; at most
    /// maxGivenUpChanges are remembered.
    std::deque<PasswordChange> givenUpChanges;
    static constexpr std::size_t maxGivenUpChanges = 8;
    /// Takes the given-up change with this number out of the list.
    std::optional<PasswordChange> takeGivenUp(qint32 seq);

    QLabel* label_5 = nullptr;
    QLabel* unsavedLabel = nullptr;
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
