#include "guard.h"

#include "dialogs.h"
#include "errors.h"

#include <QString>

void guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const SilentAbort&) {
    } catch (const Failure& e) {
        dialogs().error(e.message());
    } catch (const std::exception& e) {
        dialogs().error(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        dialogs().error(QStringLiteral("Erro inesperado."));
    }
}
