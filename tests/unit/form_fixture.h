// A started main window on the fake toolkit and fake window system, with
// short ways to reach its controls.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_toolkit.h"
#include "fakes/fake_window_system.h"
#include "fakes/sending_completions.h"
#include "ui/form1.h"

namespace vindrel::testing {

class FormTest : public ::testing::Test {
protected:
    FormTest() { form.Form_Load(); }

    FakeListBox& List(std::string_view name) { return toolkit.Get<FakeListBox>(name); }
    FakeTextBox& Box(std::string_view name) { return toolkit.Get<FakeTextBox>(name); }
    void Click(std::string_view button) { toolkit.Get<FakeButton>(button).UserClick(); }
    std::vector<int> Selections() {
        return {List("List4").ListIndex(), List("List1").ListIndex(), List("List2").ListIndex(),
                List("List3").ListIndex()};
    }
    using Columns = std::vector<std::vector<std::wstring>>;
    // The process table: List4, List1, List2 and List3.
    Columns Table() {
        return {List("List4").Rows(), List("List1").Rows(), List("List2").Rows(),
                List("List3").Rows()};
    }
    // Prompts of the message boxes shown so far, then forgotten.
    std::vector<std::wstring> TakeMessages() {
        std::vector<std::wstring> prompts;
        for (const auto& m : toolkit.messages)
            prompts.push_back(m.prompt);
        toolkit.messages.clear();
        return prompts;
    }

    FakeToolkit toolkit;
    FakeWindowSystem ws;
    FakeProcessRights rights;
    // The listing runs on its worker; what the fake's walk does to the user
    // interface goes through `completions`, as sent messages would.
    std::shared_ptr<SendingCompletions> completions = std::make_shared<SendingCompletions>();
    WmiListing wmi{ws, kListingDeadline, completions};
    FakeRecordFolder folder;
    FakeLifetimes lifetimes;
    Form1 form{toolkit, toolkit, ws, wmi, rights, folder, lifetimes};
};

}  // namespace vindrel::testing
