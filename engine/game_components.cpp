#include "engine/game_components.h"

#include "components/runtime_components.h"
#include "engine/game.h"
#include "platform/controls.h"
#include "platform/core/run_flags.h"

namespace tv {

namespace {

class GameComponentSite : public ComponentSite {
public:
    explicit GameComponentSite(Game& game) : game_(game) {}

    ContainerControl& componentContainer() override { return game_.pictureBox(); }

    QVector<ScriptProcedure> componentProcedures() override {
        return game_.scripts.ScriptControl2().Procedures();
    }

    void resetScriptRequests() override { game_.scripts.VBScriptAction().ResetModule(); }

    void runEventProcedure(const QString& procedure, QObject* parameters) override {
        if (runFlags().quitting) return;
        ScriptEngine& engine = game_.scripts.ScriptControl();
        // Rebuilt first so that the procedure sees the game's variables as they are now; an
        // event raised while a script runs goes to the running engine as it stands.
        if (!engine.isRunning() && !game_.scripts.AddCodeToScriptControl(engine, {})) return;
        engine.Run(procedure, {QVariant::fromValue(parameters)});
    }

    void executeConsequences() override { game_.executeConsequences(); }

private:
    Game& game_;
};

} // namespace

std::unique_ptr<ComponentSite> makeComponentSite(Game& game) {
    return std::make_unique<GameComponentSite>(game);
}

} // namespace tv
