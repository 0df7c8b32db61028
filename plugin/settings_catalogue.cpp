// The settings catalogue: the plugin's options as a dialog description fragment, handed to the
// host by RetrievePluginXMLDialog. Eight containers, one per option group; the host splices them
// into its settings window, reads every default from them and publishes each option as a window
// property named after the container and the control.

#include "plugin/settings_catalogue.h"

namespace {

// The fragment is four fixed texts, in this order and with nothing between them. Adjacent
// literals are joined by the compiler: the whole fragment is one static buffer.
constexpr char16_t kFragment[] =
    // The beautifier's switches and its fifteen rule rows.
    uR"xml(<container name='CodeBeautifier' title='Code Beautifier' invisible='yes' margin='0'>
  <vbox expand='no' spacing='0'>
    <checkbox name='AutoindentPaste' text='Indent and Format on paste' value='1'/>
    <checkbox name='AutoindentTyping' text='Indent and Format while typing' value='1'/>
    <text text='Formatting rules'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <vbox expand='no' spacing='0'>
        <hbox expand='no'>
          <text text='Default spacing' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='DefaultSpacing:0' text='No rules'/>
            <option name='DefaultSpacing:1' text='a b' tooltip='1 whitespace character' width='45' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Colon' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Colon:0' text='No rules'/>
            <option name='Colon:1' text='a:b' tooltip='Remove spacing' width='45'/>
            <option name='Colon:2' text='a : b' tooltip='Append/Prepend spacing' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Comma' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Comma:0' text='No rules'/>
            <option name='Comma:1' text='a,b' tooltip='Remove spacing' width='45'/>
            <option name='Comma:2' text='a, b' tooltip='Append spacing' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Module ::' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Module:0' text='No rules'/>
            <option name='Module:1' text='a::b' tooltip='Remove spacing' width='45' value='1'/>
            <option name='Module:2' text='a:: b' tooltip='Append spacing'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Operators +, /' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Math:0' text='No rules'/>
            <option name='Math:1' text='a+b' tooltip='Remove spacing' width='45' value='1'/>
            <option name='Math:2' text='a + b' tooltip='Append/Prepend spacing'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Operators |, !, &#38;' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Bitwise:0' text='No rules'/>
            <option name='Bitwise:1' text='a!b' tooltip='Remove spacing' width='45'/>
            <option name='Bitwise:2' text='a ! b' tooltip='Append/Prepend spacing' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Operators &lt;&lt;, &gt;&gt;' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='BitwiseShift:0' text='No rules'/>
            <option name='BitwiseShift:1' text='a&lt;&lt;b' tooltip='Remove spacing' width='45'/>
            <option name='BitwiseShift:2' text='a &lt;&lt; b' tooltip='Append/Prepend spacing' width='45' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Comparison &lt;,=,&gt;' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Comparison:0' text='No rules'/>
            <option name='Comparison:1' text='a&lt;=b' tooltip='Remove spacing' width='45' value='1'/>
            <option name='Comparison:2' text='a &lt;= b' tooltip='Append/Prepend spacing'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Operator ~' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='BitwiseNot:0' text='No rules'/>
            <option name='BitwiseNot:1' text='~a' tooltip='Remove spacing' width='45' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Type' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Type:0' text='No rules'/>
            <option name='Type:1' text='a.b' tooltip='Remove spacing' width='45' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Field' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Field:0' text='No rules'/>
            <option name='Field:1' text='a\b' tooltip='Remove spacing' width='45' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Label' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Label:0' text='No rules'/>
            <option name='Label:1' text='a:' tooltip='Remove spacing' width='45' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='ASM' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='ASM:0' text='No rules'/>
            <option name='ASM:1' text='!a' tooltip='Remove spacing' width='45' value='1'/>
            <option name='ASM:2' text='! a' tooltip='Append spacing'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Braces ( ),[ ],{ }' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='Bracket:0' text='No rules'/>
            <option name='Bracket:1' text='(a)' tooltip='Remove spacing of parentheses, brackets and braces' value='1'/>
          </hbox>
        </hbox>
        <hbox expand='no'>
          <text text='Trailing spaces' width='110' flags='#PB_Text_Right'/>
          <hbox>
            <option name='TrailingSpaces:0' text='No rules'/>
            <option name='TrailingSpaces:1' text='Removed' tooltip='Remove whitespaces at end of each line' width='40' value='1'/>
          </hbox>
        </hbox>
      </vbox>
    </container>
  </vbox>
</container>
)xml"

    // Code, string and comment helpers.
    uR"xml(<container name='CodeHelpers' title='Code Helpers' invisible='yes' margin='0'>
  <vbox expand='no' spacing='0'>
    <checkbox name='AutocompFloatPointZero' text='Autocomplete floating-point zero' value='1'/>
    <checkbox name='AutocompEndKeywordNewLine' text='Autocomplete end keyword and insert newline' value='1'/>
    <checkbox name='AutocompDropRestWord' text='Autocomplete and drop rest of word' value='1'/>
    <checkbox name='UseMultiCursor' text='Use multi cursor' value='1'/>
    <checkbox name='UseCtrlD' text='Use Ctrl+D shortcut to insert newline constant' value='1'/>
  </vbox>
</container>
<container name='StringHelpers' title='String Helpers' invisible='yes' margin='0'>
  <vbox expand='no' spacing='0'>
    <checkbox name='AutocompStringInsertion' text='Autocomplete single-line string insertion' value='1'/>
    <checkbox name='AutocompStringCut' text='Autocomplete single-line string cut' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <hbox expand='no'>
        <empty width='8'/>
        <text text='String cut to insert' width='110' flags='#PB_Text_Right'/>
        <combobox name='StringCut' width='120' items='"+ +",1,"+ ",2' value='1'/>
      </hbox>
    </container>
    <checkbox name='AutocompSplitStrings' text='Autocomplete split string' value='1'/>
    <checkbox name='AutocompMultilineStrings' text='Autocomplete multiline string' value='1'/>
    <checkbox name='UseCtrlEnter' text='Use Ctrl+Enter shortcut to insert newline constant' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <hbox expand='no'>
        <empty width='8'/>
        <text text='Constant to insert' width='110' flags='#PB_Text_Right'/>
        <combobox name='NewlineConstant' width='120' items='#LF$,1,#CR$,2,#CRLF$,3' value='1'/>
      </hbox>
    </container>
  </vbox>
</container>
<container name='CommentHelpers' title='Comment Helpers' invisible='yes' margin='0'>
  <vbox expand='no' spacing='0'>
    <checkbox name='AutocompSplitComment' text='Autocomplete split comment' value='1'/>
    <checkbox name='AutocompCommentBlock' text='Autocomplete multiline comment' value='1'/>
    <checkbox name='AutocompCommentBars' text='Autocomplete comment bars' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <hbox expand='no'>
        <empty width='8'/>
        <text text='Comment bar minimum length'/>
        <spin name='MinCommentBarLength' flags='#PB_Spin_Numeric' width='60' min='5' max='30' value='10'/>
      </hbox>
    </container>
  </vbox>
</container>
)xml"

    // The two groups without options.
    uR"xml(<container name='AsmHelpers' title='ASM Helpers' invisible='yes' margin='0'>
</container>
<container name='TemplateHelpers' title='Template Helpers' invisible='yes' margin='0'>
</container>
)xml"

    // Visual and compiling helpers.
    uR"xml(<container name='VisualHelpers' title='Visual Helpers' invisible='yes' margin='0'>
  <vbox expand='no' spacing='0'>
    <checkbox name='CurrentLineAlwaysVisible' text='Current line is always visible' value='1'/>
    <checkbox name='TickerCaret' text='Use ticker caret' value='1'/>
    <checkbox name='AutoScrollMargins' text='Use autoscrolling margins' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <hbox expand='no'>
        <empty width='8'/>
        <text text='Autoscrolling margin size' width='110' flags='#PB_Text_Right'/>
        <spin name='AutoScrollMarginSize' flags='#PB_Spin_Numeric' width='55' min='2' max='10' value='5'/>
      </hbox>
    </container>
    <checkbox name='CustomHighlighting' text='Customize word highlighting style' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <vbox spacing='1'>
        <hbox expand='no'>
          <text text='Highlighting opacity' width='110' flags='#PB_Text_Right'/>
          <spin name='HighlightOpacity' flags='#PB_Spin_Numeric' width='57' min='1' max='255' value='255'/>
          <spin name='HighlightBorderOpacity' flags='#PB_Spin_Numeric' width='57' min='1' max='255' value='200'/>
        </hbox>
        <hbox expand='no'>
          <text text='Highlighting shape' width='110' flags='#PB_Text_Right'/>
          <combobox name='HighlightStyle' width='120' items='Straight Box,8,Round Box,7,Dotted Box,12,Dotted Line,10,Dashed Line,9,Diagonal Line,3' value='7'/>
        </hbox>
      </vbox>
    </container>
    <checkbox name='CustomHighlightColor' text='Customize word highlighting color' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <vbox spacing='1'>
        <hbox expand='no'>
          <text text='Default highlighting' width='110' flags='#PB_Text_Right'/>
          <string name='ColorDefault:Color' flags='#PB_String_UpperCase' width='57' value='8421631'/>
          <canvas name='ColorDefault:Picker' flags='#PB_Canvas_Border' width='30'/>
        </hbox>
        <hbox expand='no'>
          <text text='Procedure highlighting' width='110' flags='#PB_Text_Right'/>
          <string name='ColorProc:Color' flags='#PB_String_UpperCase' width='57' value='8421631'/>
          <canvas name='ColorProc:Picker' flags='#PB_Canvas_Border' width='30'/>
        </hbox>
        <hbox expand='no'>
          <text text='String highlighting' width='110' flags='#PB_Text_Right'/>
          <string name='ColorString:Color' flags='#PB_String_UpperCase' width='57' value='65535'/>
          <canvas name='ColorString:Picker' flags='#PB_Canvas_Border' width='30'/>
        </hbox>
        <hbox expand='no'>
          <text text='Constant highlighting' width='110' flags='#PB_Text_Right'/>
          <string name='ColorConstant:Color' flags='#PB_String_UpperCase' width='57' value='255'/>
          <canvas name='ColorConstant:Picker' flags='#PB_Canvas_Border' width='30'/>
        </hbox>
        <hbox expand='no'>
          <text text='Comment highlighting' width='110' flags='#PB_Text_Right'/>
          <string name='ColorComment:Color' flags='#PB_String_UpperCase' width='57' value='4227327'/>
          <canvas name='ColorComment:Picker' flags='#PB_Canvas_Border' width='30'/>
        </hbox>
      </vbox>
    </container>
  </vbox>
</container>
<container name='CompilingHelpers' title='Compiling Helpers' invisible='yes' margin='0'>
  <vbox expand='no' spacing='0'>
    <checkbox name='CustomEnvVars' text='Set up environment vars' value='1'/>
    <container flags=' #PB_Container_Single' margin='3'>
      <hbox expand='item:2'>
        <gridbox colspacing='1' rowspacing='1'>
          <text text='$CURRENT_YEAR' font='mini'/>
          <text text='$CURRENT_YY' font='mini'/>
          <text text='$CURRENT_MONTH' font='mini'/>
          <text text='$CURRENT_MM' font='mini'/>
          <text text='$CURRENT_DAY' font='mini'/>
          <text text='$CURRENT_DD' font='mini'/>
          <text text='$CURRENT_HOUR' font='mini'/>
          <text text='$CURRENT_MINUTE' font='mini'/>
          <text text='$CURRENT_SECOND' font='mini'/>
          <text text='$CURRENT_DATE' font='mini'/>
        </gridbox>
        <empty/>
      </hbox>
    </container>
  </vbox>
</container>)xml";

}  // namespace

std::u16string_view SettingsCatalogue() noexcept {
  return std::u16string_view(kFragment, sizeof(kFragment) / sizeof(kFragment[0]) - 1);
}

namespace zentrel {

const char16_t* RetrievePluginXMLDialog() noexcept { return kFragment; }

}  // namespace zentrel
