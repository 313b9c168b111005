// The entry of the library razividerur-paperwork: QPluginLoader makes one PaperworkPlugin.

#include "paperwork/paperworkmodule.h"

namespace zet {

class PaperworkPlugin : public PaperworkModule {
    Q_OBJECT
    // The same identifier as ZET_PAPERWORK_IID (app/paperwork.h).
    Q_PLUGIN_METADATA(IID "org.orvelant.razividerur.Paperwork/1")
    Q_INTERFACES(zet::Paperwork)
};

} // namespace zet

#include "paperworkplugin.moc"
