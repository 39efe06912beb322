// A string list of UTF-16 items with an object slot each: geometric growth
// from 16 items, ASCII-only case-insensitive ordering and lookup, a text
// form built in one allocation and an optional hashed name=value lookup.
#pragma once

#include "support/FileOutput.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brennic {

class EStringListError : public std::runtime_error {
public:
    EStringListError(const std::string& message, int number) : std::runtime_error(message), Number(number) {}
    int Number;
};

enum class TDuplicates { Ignore = 0, Accept = 1, Error = 2 };

std::uint32_t TextHash(std::u16string_view text);
// Hash of the part before the first '=', or of the whole text without one.
std::uint32_t NameHash(std::u16string_view text);

class TEnhStringList {
public:
    using ObjectSlot = std::uintptr_t;
    static constexpr int MaxCapacity = 0x7FFFFFF;

    TEnhStringList() = default;
    TEnhStringList(const TEnhStringList&) = delete;
    TEnhStringList& operator=(const TEnhStringList&) = delete;
    ~TEnhStringList();

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);

    TDuplicates Duplicates = TDuplicates::Ignore;
    bool HashedNames = false;
    std::function<void()> OnChanging;
    std::function<void()> OnChange;

    int Add(std::u16string_view text);
    int AddObject(std::u16string_view text, ObjectSlot object);
    void AddStrings(const TEnhStringList& source);
    void Insert(int index, std::u16string_view text);
    void Put(int index, std::u16string_view text);
    void PutObject(int index, ObjectSlot object);
    const std::u16string& Get(int index) const;
    ObjectSlot GetObject(int index) const;
    const std::u16string& operator[](int index) const { return Get(index); }

    bool Find(std::u16string_view text, int& index) const;
    int IndexOf(std::u16string_view text) const;
    int IndexOfName(std::u16string_view name) const;
    void Sort();
    void Clear();
    void SetCapacity(int newCapacity);

    // Every item followed by CR LF, the last one included.
    std::u16string GetTextStr() const;
    // Writes the text form in the system's 8-bit encoding, replacing the file
    // only once every byte is on disk.
    void SaveToFile(const std::string& fileName, const WriteFunction& write = {}) const;

    void BeginUpdate();
    void EndUpdate();

private:
    struct Item {
        std::u16string text;
        ObjectSlot object = 0;
    };

    void Grow();
    void InsertItem(int index, std::u16string_view text, ObjectSlot object);
    int AddItem(std::u16string_view text, ObjectSlot object, bool textInError);
    void Changing();
    void Changed();
    void CheckIndex(int index) const;

    std::unique_ptr<Item[]> items_;
    int count_ = 0;
    int capacity_ = 0;
    bool sorted_ = false;
    bool destroying_ = false;
    int updateCount_ = 0;
};

}  // namespace brennic
