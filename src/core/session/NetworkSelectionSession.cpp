#include "session/NetworkSelectionSession.h"

#include "link/LinkOperation.h"

namespace vondrix {

NetworkSelectionSession::NetworkSelectionSession(MainWindowSession& main, Reporter& reporter)
    : main_(main),
      reporter_(reporter),
      service_(main.session().engine, reporter, main.session().settings, model_) {}

void NetworkSelectionSession::open() {
    service_.open();
}

void NetworkSelectionSession::openPreferred() {
    // One operation: a phone that stops answering is reported once.
    LinkOperation operation(main_.session().engine, reporter_);
    service_.readKnown();
    service_.readPreferred();
    network::sortKnown(model_.known, 1);
}

const network::OperatorName* NetworkSelectionSession::known(int code) const {
    for (const network::OperatorName& o : model_.known)
        if (o.code == code)
            return &o;
    return nullptr;
}

network::Selection NetworkSelectionSession::select(std::size_t row) {
    return service_.select(row, main_.state().network);
}

network::Selection NetworkSelectionSession::selectCode(int code) {
    return service_.selectCode(code, main_.state().network);
}

}  // namespace vondrix
