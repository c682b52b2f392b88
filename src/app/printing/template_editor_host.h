// What the sheet template editor needs of the window it edits for.
#pragma once

#include <string>

struct PrintTemplate;

class TemplateEditorHost {
 public:
  virtual ~TemplateEditorHost() = default;
  // The template the window prints with; the editor copies it in and, on Apply, back.
  virtual PrintTemplate& printTemplate() = 0;
  // After Apply: the window shows the new template.
  virtual void templateApplied() = 0;
  // The folder holding the template files.
  virtual std::wstring templateFolder() const = 0;
};
