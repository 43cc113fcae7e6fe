#pragma once
// What the run-time components ask of the game: the frame display, the procedures and the runs
// of event procedures.

#include <memory>

namespace tv {

class ComponentSite;
class Game;

std::unique_ptr<ComponentSite> makeComponentSite(Game& game);

} // namespace tv
