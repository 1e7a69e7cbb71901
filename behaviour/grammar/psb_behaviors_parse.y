/*@include psb_parse_head.yfrag@*/

%code {
namespace {

// The layer whose list is read.
psb_behaviors_actions_t& behaviors() { return *psb_current_behaviors; }

}  // namespace
}

%token TK_HEADER_START TK_HEADER_ENCODING TK_HEADER_VERSION TK_HEADER_END TK_KUVRA_BEGIN TK_KUVRA_END
%token TK_VERSION_ATTRIBUTE TK_STRING_FLOAT TK_STRING_STRING TK_BEHAVIOR_BEGIN TK_BEHAVIORS_BEGIN
%token TK_BEHAVIORS_END TK_BEHAVIOR_GROUP_BEGIN TK_FILE_ATTRIBUTE TK_END_TAG_OPEN TK_END_TAG_CLOSED TK_FLOAT
%token TK_STRING

%%

/*@include psb_parse_header_rules.yfrag@*/

body_section : TK_KUVRA_BEGIN behaviors_section TK_KUVRA_END
             | TK_KUVRA_BEGIN error { STOP("\\r[psb_behaviors_parse] invalid psb behaviors file"); }
             ;

behaviors_section : TK_BEHAVIORS_BEGIN TK_VERSION_ATTRIBUTE TK_STRING_FLOAT
                      { if ($3.real != 1.0f) STOP("\\r[psb_behaviors_parse] invalid behaviors file version"); }
                    TK_END_TAG_OPEN behaviors TK_BEHAVIORS_END
                  ;

behaviors : %empty | behaviors behavior ;

behavior : behavior_group | behavior_file ;

behavior_group : TK_BEHAVIOR_GROUP_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                   {
                       // The group's text must have been pushed: its end pops it again. A group that
                       // could not be read ends the list here, before anything is popped.
                       const int enclosing = psb_behaviors_level();
                       behaviors().include_group($3.text);
                       if (psb_behaviors_level() != enclosing + 1)
                           STOP("\\r[psb_behaviors_parse] behavior group (%s) not read", $3.text);
                   }
                 input
                   { psb_behaviors_pop_buffer(); }
               ;

behavior_file : TK_BEHAVIOR_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                  { behaviors().load_behavior($3.text); }
              ;

%%

/*@include psb_parse_tail.yfrag@*/
