#pragma once

// Marks a weather store busy for the length of one operation and clears the mark on every way out:
//     BusyMark busy(*this);

namespace aviation::weather {

template<class Store> class BusyMark
{
public:
    explicit BusyMark(Store& store)
        : m_store(store)
    {
        m_store.SetBusy(true);
    }
    ~BusyMark() { m_store.SetBusy(false); }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    Store& m_store;
};

} // namespace aviation::weather
