// The settings tab: its form, the "game/" switches, the password change and
// the language choice.
#include "PreferencesWindow.h"

#include "GameSounds.h"
#include "ModelessMsgBox.h"
#include "AvatarDialog.h"
#include "PlayerDb.h"
#include "SettingsStore.h"
#include "SocialServices.h"
#include "TileGraphics.h"
#include "TileImages.h"
#include "TilePainter.h"
#include "TranslationsManager.h"
#include "Utils.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

/// The form's own texts, in the form's context.
struct PreferencesView
{
    Q_DECLARE_TR_FUNCTIONS(PreferencesView)
};

void writeSwitch(const char* key, int state)
{
    SettingsStore::instance().setValue(QLatin1String(key), state == Qt::Checked);
}

template <typename W>
W* make(const char* name, QWidget* parent)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

/// The widget between two expanding spacers.
QHBoxLayout* centred(const char* name, QWidget* w)
{
    auto* row = new QHBoxLayout;
    row->setObjectName(QLatin1String(name));
    row->addStretch();
    row->addWidget(w);
    row->addStretch();
    return row;
}

}

PreferencesWindow::PreferencesWindow(TranslationsManager* translations, SocialServices* social, QWidget* parent)
    : QWidget(parent)
    , translations(translations)
    , social(social)
{
    setupUi();
    connect(&passwordDeadline, &AnswerDeadline::expired, this, &PreferencesWindow::onPasswordTimeout);

    // A box that becomes checked runs its slot: the key is written back
    // unchanged and, for Sounds, the lobby tune starts.
    QSettings settings;
    autoPassCheckBox->setCheckState(settingsCheckState(settings, "game/autoPass", true));
    autoPopdownScoreDialog->setCheckState(settingsCheckState(settings, "game/autoPopdownScoreDialog", false));
    inGameSoundCheckBox->setCheckState(settingsCheckState(settings, "game/sound", true));
    animationsCheckBox->setCheckState(settingsCheckState(settings, "game/animations", true));

    if (social != nullptr)
        connect(social, &SocialServices::playerPictureUpdate, this, &PreferencesWindow::onPlayerPictureUpdate);

    TileGraphics& tiles = TileGraphics::instance();
    const int back = fillTileChoices(tileBlankSelection, tiles.blankNames(), "game/tileblank");
    const int face = fillTileChoices(tileFaceSelection, tiles.faceNames(), "game/tileface");
    // A set not drawn before comes from the worker, after the choice.
    connect(&tiles, &TileGraphics::tileGraphicsChanged, this, &PreferencesWindow::paintTilePreviews);
    tiles.setTiles(back, face);
    paintTilePreviews();
    // Connected after the first selection: starting the page writes nothing.
    connect(tileBlankSelection, &QComboBox::currentIndexChanged, this,
            &PreferencesWindow::onTileBlankSelectionIndexChanged);
    connect(tileFaceSelection, &QComboBox::currentIndexChanged, this,
            &PreferencesWindow::onTileFaceSelectionIndexChanged);

    if (translations != nullptr) {
        const QString current = translations->language();
        for (const auto& [code, name] : translations->availableLanguages()) {
            languageSelection->addItem(name, code);
            if (code == current)
                languageSelection->setCurrentIndex(languageSelection->count() - 1);
        }
    }
    connect(languageSelection, &QComboBox::currentIndexChanged, this,
            &PreferencesWindow::onLanguageSelectionCurrentIndexChanged);
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::setupUi()
{
    setObjectName(QStringLiteral("PreferencesView"));
    resize(548, 614);
    setAutoFillBackground(false);
    auto* vboxLayout = new QVBoxLayout(this);
    vboxLayout->setObjectName(QStringLiteral("vboxLayout"));
    vboxLayout->setSpacing(0);
    vboxLayout->setContentsMargins(0, 0, 0, 0);

    auto* top = make<QFrame>("preferencesTopFrame", this);
    top->setFrameShape(QFrame::NoFrame);
    auto* vboxLayout1 = new QVBoxLayout(top);
    vboxLayout1->setObjectName(QStringLiteral("vboxLayout1"));
    label_5 = make<QLabel>("label_5", top);
    vboxLayout1->addWidget(label_5);
    unsavedLabel = make<QLabel>("settingsNotKept", top);
    unsavedLabel->setWordWrap(true);
    unsavedLabel->setVisible(!SettingsStore::instance().isWritable());
    connect(&SettingsStore::instance(), &SettingsStore::writeFailed, unsavedLabel, &QLabel::show);
    vboxLayout1->addWidget(unsavedLabel);
    vboxLayout1->addSpacing(38);
    vboxLayout->addWidget(top);

    auto* scrollArea = make<QScrollArea>("scrollArea", this);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setLineWidth(0);
    scrollArea->setWidgetResizable(true);
    auto* contents = make<QWidget>("scrollAreaWidgetContents", nullptr);
    contents->resize(548, 538);
    auto* verticalLayout = new QVBoxLayout(contents);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    auto* hboxLayout = new QHBoxLayout;
    hboxLayout->setObjectName(QStringLiteral("hboxLayout"));
    hboxLayout->setSpacing(20);
    verticalLayout->addLayout(hboxLayout);

    auto* left = new QVBoxLayout;
    left->setObjectName(QStringLiteral("vboxLayout2"));
    left->setSpacing(20);
    groupBox_4 = make<QGroupBox>("groupBox_4", contents);
    auto* hboxLayout1 = new QHBoxLayout(groupBox_4);
    hboxLayout1->setObjectName(QStringLiteral("hboxLayout1"));
    languageSelection = make<QComboBox>("languageSelection", groupBox_4);
    hboxLayout1->addWidget(languageSelection);
    left->addWidget(groupBox_4);

    groupBox = make<QGroupBox>("groupBox", contents);
    auto* vboxLayout3 = new QVBoxLayout(groupBox);
    vboxLayout3->setObjectName(QStringLiteral("vboxLayout3"));
    autoPassCheckBox = make<QCheckBox>("autoPassCheckBox", groupBox);
    autoPopdownScoreDialog = make<QCheckBox>("autoPopdownScoreDialog", groupBox);
    inGameSoundCheckBox = make<QCheckBox>("inGameSoundCheckBox", groupBox);
    animationsCheckBox = make<QCheckBox>("animationsCheckBox", groupBox);
    for (QCheckBox* box : {autoPassCheckBox, autoPopdownScoreDialog, inGameSoundCheckBox, animationsCheckBox})
        vboxLayout3->addWidget(box);
    left->addWidget(groupBox);

    groupBox_3 = make<QGroupBox>("groupBox_3", contents);
    auto* vboxLayout4 = new QVBoxLayout(groupBox_3);
    vboxLayout4->setObjectName(QStringLiteral("vboxLayout4"));
    label_3 = make<QLabel>("label_3", groupBox_3);
    newPassword = make<QLineEdit>("newPassword", groupBox_3);
    label_4 = make<QLabel>("label_4", groupBox_3);
    retypePassword = make<QLineEdit>("retypePassword", groupBox_3);
    for (QLineEdit* edit : {newPassword, retypePassword}) {
        edit->setMaxLength(256);
        edit->setEchoMode(QLineEdit::Password);
    }
    vboxLayout4->addWidget(label_3);
    vboxLayout4->addWidget(newPassword);
    vboxLayout4->addWidget(label_4);
    vboxLayout4->addWidget(retypePassword);
    auto* hboxLayout2 = new QHBoxLayout;
    hboxLayout2->setObjectName(QStringLiteral("hboxLayout2"));
    hboxLayout2->addStretch();
    changePasswordBtn = make<QPushButton>("changePassword", groupBox_3);
    hboxLayout2->addWidget(changePasswordBtn);
    vboxLayout4->addLayout(hboxLayout2);
    left->addWidget(groupBox_3);
    left->addStretch();
    hboxLayout->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setObjectName(QStringLiteral("vboxLayout5"));
    right->setSpacing(20);
    groupBox_2 = make<QGroupBox>("groupBox_2", contents);
    auto* vboxLayout6 = new QVBoxLayout(groupBox_2);
    vboxLayout6->setObjectName(QStringLiteral("vboxLayout6"));
    avatarLabel = make<QLabel>("avatarLabel", groupBox_2);
    avatarLabel->setMinimumSize(64, 64);
    avatarLabel->setAlignment(Qt::AlignCenter);
    setAvatarButton = make<QPushButton>("setAvatarButton", groupBox_2);
    // Choosing a picture needs the player directory (see setPlayerDb).
    setAvatarButton->setEnabled(false);
    vboxLayout6->addLayout(centred("hboxLayout3", avatarLabel));
    vboxLayout6->addLayout(centred("hboxLayout4", setAvatarButton));
    right->addWidget(groupBox_2);

    tileGraphics = make<QGroupBox>("tileGraphics", contents);
    auto* vboxLayout7 = new QVBoxLayout(tileGraphics);
    vboxLayout7->setObjectName(QStringLiteral("vboxLayout7"));
    auto* hboxLayout5 = new QHBoxLayout;
    hboxLayout5->setObjectName(QStringLiteral("hboxLayout5"));
    hboxLayout5->setSpacing(25);
    tileFront = make<QLabel>("tileFront", tileGraphics);
    tileBack = make<QLabel>("tileBack", tileGraphics);
    hiddenTileRight = make<QLabel>("hiddenTileRight", tileGraphics);
    hboxLayout5->addStretch();
    for (QLabel* preview : {tileFront, tileBack, hiddenTileRight}) {
        preview->setAlignment(Qt::AlignCenter);
        hboxLayout5->addWidget(preview);
    }
    hboxLayout5->addStretch();
    vboxLayout7->addLayout(hboxLayout5);
    label_6 = make<QLabel>("label_6", tileGraphics);
    tileFaceSelection = make<QComboBox>("tileFaceSelection", tileGraphics);
    label = make<QLabel>("label", tileGraphics);
    tileBlankSelection = make<QComboBox>("tileBlankSelection", tileGraphics);
    vboxLayout7->addWidget(label_6);
    vboxLayout7->addWidget(tileFaceSelection);
    vboxLayout7->addWidget(label);
    vboxLayout7->addWidget(tileBlankSelection);
    tileRefusalLabel = make<QLabel>("tileRefusal", tileGraphics);
    // A file name is shown as it is written, never read as markup.
    tileRefusalLabel->setTextFormat(Qt::PlainText);
    tileRefusalLabel->setWordWrap(true);
    tileRefusalLabel->hide();
    vboxLayout7->addWidget(tileRefusalLabel);
    right->addWidget(tileGraphics);
    right->addStretch();
    hboxLayout->addLayout(right);

    scrollArea->setWidget(contents);
    vboxLayout->addWidget(scrollArea);

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void PreferencesWindow::retranslateUi()
{
    label_5->setText(PreferencesView::tr("Change your settings below, changes will take effect immediately."));
    unsavedLabel->setText(PreferencesView::tr("The settings file cannot be written: changes made now will not be kept."));
    groupBox_4->setTitle(PreferencesView::tr("Language"));
    groupBox->setTitle(PreferencesView::tr("Game"));
    autoPassCheckBox->setText(PreferencesView::tr("Auto pass"));
    autoPopdownScoreDialog->setText(PreferencesView::tr("Auto-close score dialogs"));
    autoPopdownScoreDialog->setToolTip(
        PreferencesView::tr("Controls if score dialogs are automatically closed when a new round begins"));
    inGameSoundCheckBox->setText(PreferencesView::tr("Sounds"));
    animationsCheckBox->setText(PreferencesView::tr("Animations"));
    groupBox_3->setTitle(PreferencesView::tr("Password"));
    label_3->setText(PreferencesView::tr("New password"));
    label_4->setText(PreferencesView::tr("Retype password"));
    changePasswordBtn->setText(PreferencesView::tr("Change password"));
    groupBox_2->setTitle(PreferencesView::tr("Player"));
    setAvatarButton->setText(PreferencesView::tr("Choose avatar..."));
    tileGraphics->setTitle(PreferencesView::tr("Tile graphics"));
    label_6->setText(PreferencesView::tr("Face"));
    label->setText(PreferencesView::tr("Back"));
}

void PreferencesWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
        paintTilePreviews();
        const QStringList backs = TileGraphics::instance().blankNames();
        for (int i = 0; i < tileBlankSelection->count() && i < backs.size(); ++i)
            tileBlankSelection->setItemText(i, backs.at(i));
        const QStringList faces = TileGraphics::instance().faceNames();
        for (int i = 0; i < tileFaceSelection->count() && i < faces.size(); ++i)
            tileFaceSelection->setItemText(i, faces.at(i));
    }
    QWidget::changeEvent(event);
}

int PreferencesWindow::fillTileChoices(QComboBox* combo, const QStringList& names, const char* key)
{
    int index = QSettings().value(QLatin1String(key), 0).toInt();
    if (index < 0 || index >= names.size())
        index = 0;
    combo->addItems(names);
    combo->setCurrentIndex(names.isEmpty() ? -1 : index);
    return index;
}

void PreferencesWindow::paintTilePreviews()
{
    const TilePainter* painter = TileGraphics::instance().basePainter();
    const TileImages* images = painter != nullptr ? painter->tileImages() : nullptr;
    if (images == nullptr)
        return;
    const auto paint = [images](QLabel* label, int orientation, int kind, const auto& draw) {
        const QRectF area = images->rect(orientation, kind);
        QPixmap picture(area.size().toSize().expandedTo(QSize(1, 1)));
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.translate(-area.topLeft());
        draw(&p);
        p.end();
        label->setPixmap(picture);
    };
    paint(tileFront, TileImages::Bottom, TileImages::Declared,
          [painter](QPainter* p) { painter->drawTile(p, QPoint(0, 0), tile(0), TileImages::Bottom, false); });
    paint(tileBack, TileImages::Bottom, TileImages::Declared,
          [painter](QPainter* p) { painter->drawTile(p, QPoint(0, 0), tile(255), TileImages::Bottom, false); });
    paint(hiddenTileRight, TileImages::Right, TileImages::Hidden,
          [painter](QPainter* p) { painter->drawHiddenTile(p, QPoint(0, 0), TileImages::Right); });
    // The tiles shown are the program's own in place of a file of the
    // player's that cannot be drawn: said here, where they were chosen.
    QStringList refusals;
    if (const QString face = images->refusedFace(); !face.isEmpty())
        refusals << tr("The tile faces in %1 cannot be drawn; the program's own are shown.")
                        .arg(QDir::toNativeSeparators(face));
    if (const QString back = images->refusedBack(); !back.isEmpty())
        refusals << tr("The tile backs in %1 cannot be drawn; the program's own are shown.")
                        .arg(QDir::toNativeSeparators(back));
    tileRefusalLabel->setText(refusals.join(QLatin1Char('\n')));
    tileRefusalLabel->setVisible(!refusals.isEmpty());
}

void PreferencesWindow::onTileBlankSelectionIndexChanged(int index)
{
    if (index < 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SettingsStore::instance().setValue(QStringLiteral("game/tileblank"), index);
    TileGraphics::instance().setTiles(index, tileFaceSelection->currentIndex());
    paintTilePreviews();
    QApplication::restoreOverrideCursor();
}

void PreferencesWindow::onTileFaceSelectionIndexChanged(int index)
{
    if (index < 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SettingsStore::instance().setValue(QStringLiteral("game/tileface"), index);
    TileGraphics::instance().setTiles(tileBlankSelection->currentIndex(), index);
    paintTilePreviews();
    QApplication::restoreOverrideCursor();
}

void PreferencesWindow::setOwnPlayerId(qint32 playerId)
{
    ownPlayerId = playerId;
    onPlayerPictureUpdate(playerId);
}

void PreferencesWindow::on_autoPassCheckBox_stateChanged(int newState)
{
    writeSwitch("game/autoPass", newState);
}

void PreferencesWindow::on_autoPopdownScoreDialog_stateChanged(int newState)
{
    writeSwitch("game/autoPopdownScoreDialog", newState);
}

void PreferencesWindow::on_inGameSoundCheckBox_stateChanged(int newState)
{
    writeSwitch("game/sound", newState);
    if (newState == Qt::Unchecked)
        GameSounds::instance().stop(GameSounds::LobbyTune);
    else if (newState == Qt::Checked)
        GameSounds::instance().play(GameSounds::LobbyTune, GameSounds::Loop);
}

void PreferencesWindow::on_animationsCheckBox_stateChanged(int newState)
{
    writeSwitch("game/animations", newState);
}

void PreferencesWindow::setPlayerDb(PlayerDb* db)
{
    playerDb = db;
    setAvatarButton->setEnabled(db != nullptr);
}

void PreferencesWindow::on_setAvatarButton_clicked()
{
    if (playerDb == nullptr)
        return;
    // One chooser at a time: the button pressed again gives the open one the
    // keys its click took.
    if (auto* open = findChild<AvatarDialog*>()) {
        open->raise();
        open->takeKeys(open->avatarView());
        return;
    }
    auto* dialog = new AvatarDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AvatarDialog::changeAvatar, this, &PreferencesWindow::uploadPlayerPicture);
    connect(playerDb, &PlayerDb::changePictureOk, dialog, &AvatarDialog::onChangeAvatarSucceded);
    connect(playerDb, &PlayerDb::changePictureFailed, dialog, &AvatarDialog::onChangeAvatarFailed);
    dialog->show();
    dialog->centerOnParent();
    // The arrows pick a picture, never a tile face behind the chooser.
    dialog->takeKeys(dialog->avatarView());
}

void PreferencesWindow::setPasswordFieldsLocked(bool locked)
{
    newPassword->setReadOnly(locked);
    retypePassword->setReadOnly(locked);
    changePasswordBtn->setEnabled(!locked);
    if (locked)
        passwordDeadline.start();
    else
        passwordDeadline.stop();
}

void PreferencesWindow::onPasswordTimeout()
{
    // The player is told it failed: should its answer come after all, it is
    // reported for this change, whatever the fields hold by then.
    if (pendingChange) {
        givenUpChanges.push_back(*std::exchange(pendingChange, std::nullopt));
        if (givenUpChanges.size() > maxGivenUpChanges)
            givenUpChanges.pop_front();
    }
    setPasswordFieldsLocked(false);
    ModelessMsgBox::warning(findMainWindow(), [] {
        return ModelessMsgBox::Wording{tr("Change password failed!"),
                                       tr("The server did not answer the password change.\nYour password may be "
                                          "unchanged: please try again.")};
    });
}

void PreferencesWindow::on_changePassword_clicked()
{
    if (newPassword->text().isEmpty()) {
        ModelessMsgBox::warning(findMainWindow(), [] {
            return ModelessMsgBox::Wording{tr("Change password failed!"), tr("Can not set empty password!")};
        });
        return;
    }
    if (newPassword->text() != retypePassword->text()) {
        ModelessMsgBox::warning(findMainWindow(), [] {
            return ModelessMsgBox::Wording{tr("Change password failed!"), tr("New and retyped password must match")};
        });
        return;
    }
    if (!passwordSender)
        return;
    setPasswordFieldsLocked(true);
    pendingChange = PasswordChange{passwordSender(newPassword->text()), QTime::currentTime()};
}

std::optional<PreferencesWindow::PasswordChange> PreferencesWindow::takeGivenUp(qint32 seq)
{
    const auto it = std::find_if(givenUpChanges.begin(), givenUpChanges.end(),
                                 [seq](const PasswordChange& change) { return change.seq == seq; });
    if (it == givenUpChanges.end())
        return std::nullopt;
    const PasswordChange change = *it;
    givenUpChanges.erase(it);
    return change;
}

void PreferencesWindow::onChangePasswordOk(qint32 seq)
{
    if (pendingChange && pendingChange->seq == seq) {
        pendingChange.reset();
        ModelessMsgBox::information(findMainWindow(), [] {
            return ModelessMsgBox::Wording{tr("Change password!"), tr("Success!")};
        });
        newPassword->clear();
        retypePassword->clear();
        setPasswordFieldsLocked(false);
        return;
    }
    // Late: the fields and a newer change waiting in them stay as they are.
    if (const auto late = takeGivenUp(seq)) {
        const QString asked = late->askedAt.toString(QStringLiteral("HH:mm:ss"));
        plainText(ModelessMsgBox::information(findMainWindow(), [asked] {
            return ModelessMsgBox::Wording{
                tr("Change password!"),
                tr("The server has now carried out the password change you asked for at %1, which it had not "
                   "answered in time.\nYour password is the one you typed then.")
                    .arg(asked)};
        }));
        return;
    }
    qWarning() << "a password change answered that this page did not ask for, number" << seq;
}

void PreferencesWindow::onChangePasswordFailed(qint32 seq, const QString& error)
{
    if (pendingChange && pendingChange->seq == seq) {
        pendingChange.reset();
        plainText(ModelessMsgBox::warning(findMainWindow(), [error] {
            return ModelessMsgBox::Wording{tr("Change password failed!"), error};
        }));
        setPasswordFieldsLocked(false);
        return;
    }
    if (const auto late = takeGivenUp(seq)) {
        const QString asked = late->askedAt.toString(QStringLiteral("HH:mm:ss"));
        plainText(ModelessMsgBox::warning(findMainWindow(), [asked, error] {
            return ModelessMsgBox::Wording{
                tr("Change password failed!"),
                tr("The server has now refused the password change you asked for at %1: %2\nYour password is "
                   "not the one you typed then.")
                    .arg(asked, error)};
        }));
        return;
    }
    qWarning() << "a password change refused that this page did not ask for, number" << seq;
}

void PreferencesWindow::onPlayerPictureUpdate(qint32 pid)
{
    if (social == nullptr || pid == -1 || pid != ownPlayerId)
        return;
    avatarLabel->setText(QString());
    avatarLabel->setPixmap(social->playerPicture(pid));
}

void PreferencesWindow::onLanguageSelectionCurrentIndexChanged(int index)
{
    if (translations == nullptr || index < 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    translations->setLanguage(languageSelection->itemData(index, Qt::UserRole).toString());
    QApplication::restoreOverrideCursor();
}
