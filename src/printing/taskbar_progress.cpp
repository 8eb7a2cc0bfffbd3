#include "printing/taskbar_progress.h"

namespace velbrook {

Taskbar_Progress::Taskbar_Progress(HWND window) : window_(window) {
    if (!window_ || !apartment_.Ok()) return;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  list_.put_void())) ||
        !list_ || FAILED(list_->HrInit())) {
        list_.reset();
        return;
    }
    list_->SetProgressState(window_, TBPF_NORMAL);
    list_->SetProgressValue(window_, 0, 1);
}

Taskbar_Progress::~Taskbar_Progress() {
    if (list_) list_->SetProgressState(window_, TBPF_NOPROGRESS);
    list_.reset();  // before the apartment ends
}

void Taskbar_Progress::Set(int done, int total) {
    if (!list_ || total <= 0) return;
    const int shown = done < 0 ? 0 : done > total ? total : done;
    list_->SetProgressValue(window_, static_cast<ULONGLONG>(shown), static_cast<ULONGLONG>(total));
}

}  // namespace velbrook
