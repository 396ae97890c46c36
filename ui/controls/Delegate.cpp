#include "ui/controls/Delegate.h"

namespace Weft {

CEventSource::~CEventSource() {
    for (int i = 0; i < delegates_.Count(); ++i) delete static_cast<CDelegateBase*>(delegates_[i]);
}

CEventSource& CEventSource::operator+=(const CDelegateBase& delegate) {
    for (int i = 0; i < delegates_.Count(); ++i) {
        if (static_cast<CDelegateBase*>(delegates_[i])->Equals(delegate)) return *this;
    }
    CDelegateBase* copy = delegate.Copy();
    if (!delegates_.Push(copy)) delete copy;
    return *this;
}

CEventSource& CEventSource::operator-=(const CDelegateBase& delegate) {
    for (int i = 0; i < delegates_.Count(); ++i) {
        auto* present = static_cast<CDelegateBase*>(delegates_[i]);
        if (present->Equals(delegate)) {
            delegates_.RemoveAt(i);
            delete present;
            return *this;
        }
    }
    return *this;
}

bool CEventSource::operator()(void* param) {
    for (int i = 0; i < delegates_.Count(); ++i) {
        if (!static_cast<CDelegateBase*>(delegates_[i])->Invoke(param)) return false;
    }
    return true;
}

}  // namespace Weft
