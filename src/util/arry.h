#pragma once
// Growable arrays of pointers. TArry does not own its entries; TAutoDelArry
// deletes whatever entries it still holds when it is destroyed.

#include <algorithm>
#include <vector>

template <class T> class TArry {
public:
    // Capacity is reserved up front; the growth step is the least the array
    // grows by when full (the standard library may grow it by more).
    explicit TArry(int capacity = 10, int delta = 10) : Delta(delta > 0 ? delta : 1) {
        Items.reserve(capacity > 0 ? static_cast<size_t>(capacity) : 0);
    }
    virtual ~TArry() = default;
    TArry(const TArry&) = default;
    TArry& operator=(const TArry&) = default;

    int Count() const { return static_cast<int>(Items.size()); }
    bool IsEmpty() const { return Items.empty(); }
    T* operator[](int i) const { return Items[static_cast<size_t>(i)]; }

    // Inserts at pos, moving later entries up; a position below 0 or beyond
    // the count appends. Returns the index the item went to.
    int Insert(T* item, int pos = -1) {
        if (Items.size() == Items.capacity())
            Items.reserve(Items.size() + static_cast<size_t>(Delta));
        if (pos < 0 || pos > Count())
            pos = Count();
        Items.insert(Items.begin() + pos, item);
        return pos;
    }
    int Add(T* item) { return Insert(item, -1); }

    // Takes the entry at pos out of the array without deleting it; null for a
    // position outside the array.
    T* Detach(int pos) {
        if (pos < 0 || pos >= Count())
            return nullptr;
        T* item = Items[static_cast<size_t>(pos)];
        Items.erase(Items.begin() + pos);
        return item;
    }

    int Find(const T* item) const {
        auto it = std::find(Items.begin(), Items.end(), item);
        return it == Items.end() ? -1 : static_cast<int>(it - Items.begin());
    }

    // Exchanges the entries of two arrays.
    void Swap(TArry& other) { Items.swap(other.Items); }

    auto begin() const { return Items.begin(); }
    auto end() const { return Items.end(); }

protected:
    std::vector<T*> Items;
    int Delta;
};

template <class T> class TAutoDelArry : public TArry<T> {
public:
    using TArry<T>::TArry;
    ~TAutoDelArry() override { Flush(); }
    TAutoDelArry(const TAutoDelArry&) = delete;
    TAutoDelArry& operator=(const TAutoDelArry&) = delete;

    // Removes and deletes the entry at pos; a position outside does nothing.
    void Destroy(int pos) { delete this->Detach(pos); }

    // Deletes every entry.
    void Flush() {
        for (T* item : this->Items)
            delete item;
        this->Items.clear();
    }
};
