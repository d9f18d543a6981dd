#include "ui/screens/settings/routing_pages.h"

namespace vorante {

page* create_set_input_page(QWidget* parent, page_env& env, int) { return new channel_mapping_page(parent, env, false); }
page* create_set_output_page(QWidget* parent, page_env& env, int) { return new channel_mapping_page(parent, env, true); }
page* create_set_phones_page(QWidget* parent, page_env& env, int) { return new phones_page(parent, env); }
page* create_set_record_page(QWidget* parent, page_env& env, int) { return new record_page(parent, env); }

}  // namespace vorante
