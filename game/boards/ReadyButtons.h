#pragma once

class QPushButton;
struct TableInfo;

/// The ready and leave buttons after a hand, as the score board and the
/// washout notice both show them.
namespace ReadyButtons {

/// By the table's game type: a single hand reads "Ready" with Leave shown; a
/// tournament "Next hand" with Leave hidden; a full game "Play (stake + fee)"
/// with Leave shown once the game has ended, else "Next hand" with Leave
/// hidden. Any other game type changes neither button. The texts are
/// translated in `context`, the context of the window that shows them.
void apply(QPushButton* ready, QPushButton* leave, const TableInfo& table, bool endOfGame, const char* context);

} // namespace ReadyButtons
